#pragma once

#include <map>
#include <string>
#include <sys/types.h>
#include <vector>

struct ProgramResult
{
    int status = -1; // exit status, or -1 when it did not exit normally
    std::string out;
    std::string err;
};

// A program started with its output captured, for tests that drive a front
// end the way a user or a script does.
class RunningProgram
{
public:
    // environment entries are set (or, with an empty value, removed) for the
    // program only. With unprivileged, it runs as user "nobody".
    RunningProgram(const std::vector<std::string>& argv,
                   const std::map<std::string, std::string>& environment = {},
                   bool unprivileged = false);
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    pid_t Pid() const { return pid_; }
    void Signal(int signal) const;
    // Waits for the end and collects everything it wrote.
    ProgramResult Finish();

private:
    pid_t pid_ = -1;
    int out_ = -1;
    int err_ = -1;
};

ProgramResult RunProgram(const std::vector<std::string>& argv,
                         const std::map<std::string, std::string>& environment = {},
                         bool unprivileged = false);
