#include "tests/support/server_process.h"

#include "tests/support/loopback_ports.h"

#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <sched.h>
#include <stdexcept>
#include <sys/mount.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

std::vector<char*> ArgumentPointers(const std::vector<std::string>& argv)
{
    std::vector<char*> pointers;
    for (const auto& argument : argv)
        pointers.push_back(const_cast<char*>(argument.c_str()));
    pointers.push_back(nullptr);
    return pointers;
}

// In the forked child: standard input from /dev/null, the rest into output.
void RedirectOutput(const std::filesystem::path& output)
{
    const int out = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int null = ::open("/dev/null", O_RDONLY);
    if (out < 0 || null < 0)
        ::_exit(127);
    ::dup2(null, STDIN_FILENO);
    ::dup2(out, STDOUT_FILENO);
    ::dup2(out, STDERR_FILENO);
}

// In the forked child, where only plain system calls are safe: the parent
// may have threads.
[[noreturn]] void FailInChild(const char* what, const char* path)
{
    const char* reason = ::strerrorname_np(errno);
    for (const char* piece : {what, " ", path, ": ", reason ? reason : "?", "\n"}) {
        if (::write(STDERR_FILENO, piece, std::strlen(piece)) < 0)
            break;
    }
    ::_exit(126);
}

} // namespace

pid_t StartServerProcess(const std::vector<std::string>& argv, const std::filesystem::path& output,
                         bool ownGroup)
{
    std::vector<char*> arguments = ArgumentPointers(argv);
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (ownGroup)
            ::setpgid(0, 0);
        RedirectOutput(output);
        ::execv(arguments[0], arguments.data());
        ::_exit(127);
    }
    if (pid < 0)
        throw std::runtime_error("cannot start " + argv.front());
    return pid;
}

pid_t StartServerInNamespaces(const std::vector<std::string>& argv,
                              const std::filesystem::path& output,
                              const std::vector<BindMount>& binds)
{
    std::vector<char*> arguments = ArgumentPointers(argv);
    // A fork whose child is the first process of new PID and mount namespaces.
    const long pid = ::syscall(SYS_clone, CLONE_NEWPID | CLONE_NEWNS | SIGCHLD, nullptr, nullptr,
                               nullptr, nullptr);
    if (pid == 0) {
        RedirectOutput(output);
        // Our mounts must not reach the system's namespace.
        if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            FailInChild("cannot make private", "/");
        for (const auto& bind : binds) {
            if (::mount(bind.source.c_str(), bind.target.c_str(), nullptr, MS_BIND, nullptr) != 0)
                FailInChild("cannot bind over", bind.target.c_str());
        }
        ::execv(arguments[0], arguments.data());
        ::_exit(127);
    }
    if (pid < 0)
        throw std::runtime_error("cannot start " + argv.front() +
                                 " in namespaces of its own: " + std::strerror(errno));
    return static_cast<pid_t>(pid);
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
