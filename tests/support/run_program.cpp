#include "tests/support/run_program.h"

#include "tests/support/child_process.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

void ReadAvailable(int& fd, std::string& into)
{
    char buffer[4096];
    const ssize_t count = ::read(fd, buffer, sizeof buffer);
    if (count > 0) {
        into.append(buffer, static_cast<std::size_t>(count));
    } else {
        ::close(fd);
        fd = -1;
    }
}

} // namespace

RunningProgram::RunningProgram(const std::vector<std::string>& argv,
                               const std::map<std::string, std::string>& environment,
                               bool unprivileged)
{
    int out[2];
    int err[2];
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0)
        return;
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::dup2(err[1], STDERR_FILENO);
        const int null = ::open("/dev/null", O_RDONLY);
        ::dup2(null, STDIN_FILENO);
        for (const auto& [name, value] : environment) {
            if (value.empty())
                ::unsetenv(name.c_str());
            else
                ::setenv(name.c_str(), value.c_str(), 1);
        }
        if (unprivileged && ::geteuid() == 0) {
            const gid_t gid = UnprivilegedGid();
            if (::setgroups(1, &gid) != 0 || ::setgid(gid) != 0 || ::setuid(UnprivilegedUid()) != 0)
                ::_exit(126);
        }
        std::vector<char*> args;
        for (const auto& arg : argv)
            args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    out_ = out[0];
    err_ = err[0];
}

RunningProgram::~RunningProgram()
{
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        Finish();
    }
}

void RunningProgram::Signal(int signal) const
{
    if (pid_ > 0)
        ::kill(pid_, signal);
}

ProgramResult RunningProgram::Finish()
{
    ProgramResult result;
    while (out_ >= 0 || err_ >= 0) {
        pollfd fds[2] = {{out_, POLLIN, 0}, {err_, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0)
            break;
        if (out_ >= 0 && fds[0].revents)
            ReadAvailable(out_, result.out);
        if (err_ >= 0 && fds[1].revents)
            ReadAvailable(err_, result.err);
    }
    int status = 0;
    if (pid_ > 0 && ::waitpid(pid_, &status, 0) == pid_ && WIFEXITED(status))
        result.status = WEXITSTATUS(status);
    pid_ = -1;
    return result;
}

ProgramResult RunProgram(const std::vector<std::string>& argv,
                         const std::map<std::string, std::string>& environment, bool unprivileged)
{
    return RunningProgram(argv, environment, unprivileged).Finish();
}
