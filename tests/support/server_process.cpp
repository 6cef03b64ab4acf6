#include "tests/support/server_process.h"

#include "tests/support/loopback_ports.h"

#include <chrono>
#include <fcntl.h>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;

pid_t StartServerProcess(const std::vector<std::string>& argv, const std::filesystem::path& output,
                         bool ownGroup)
{
    std::vector<char*> arguments;
    for (const auto& argument : argv)
        arguments.push_back(const_cast<char*>(argument.c_str()));
    arguments.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (ownGroup)
            ::setpgid(0, 0);
        const int out = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int null = ::open("/dev/null", O_RDONLY);
        if (out < 0 || null < 0)
            ::_exit(127);
        ::dup2(null, STDIN_FILENO);
        ::dup2(out, STDOUT_FILENO);
        ::dup2(out, STDERR_FILENO);
        ::execv(arguments[0], arguments.data());
        ::_exit(127);
    }
    if (pid < 0)
        throw std::runtime_error("cannot start " + argv.front());
    return pid;
}

bool AwaitServerAccepting(pid_t& pid, int port)
{
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (std::chrono::steady_clock::now() < deadline) {
        if (::waitpid(pid, nullptr, WNOHANG) == pid) {
            pid = -1;
            return false;
        }
        if (Accepting(port))
            return true;
        std::this_thread::sleep_for(20ms);
    }
    return false;
}
