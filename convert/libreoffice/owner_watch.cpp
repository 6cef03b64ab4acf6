#include "convert/libreoffice/owner_watch.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <initializer_list>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Runs in the forked child: only async-signal-safe calls from here on. The
// owner's pipe comes in as 0, the report of the leader's pid goes out on 1.
[[noreturn]] void Watch(const std::function<pid_t()>& spawn)
{
    struct sigaction ignore
    {};
    ignore.sa_handler = SIG_IGN;
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE})
        ::sigaction(signal, &ignore, nullptr);
    // Keep nothing of the owner's but the two pipes: a copy of another
    // watch's write end, or of a lock, would outlive the owner here.
    ::close_range(2, ~0u, 0);
    const pid_t leader = spawn();
    [[maybe_unused]] const ssize_t reported = ::write(1, &leader, sizeof leader);
    ::close(1);
    if (leader <= 0)
        ::_exit(1);
    char byte;
    while (::read(0, &byte, 1) != 0 && errno == EINTR) {
    }
    ::kill(-leader, SIGKILL);
    ::_exit(0);
}

} // namespace

OwnerWatch::OwnerWatch(const std::function<pid_t()>& spawn)
{
    int owner[2];
    int report[2];
    if (::pipe2(owner, O_CLOEXEC) != 0)
        return;
    if (::pipe2(report, O_CLOEXEC) != 0) {
        ::close(owner[0]);
        ::close(owner[1]);
        return;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        // Copied above 2 first: with a standard stream closed, a pipe may
        // sit on 0 or 1 already.
        const int in = ::fcntl(owner[0], F_DUPFD, 3);
        const int out = ::fcntl(report[1], F_DUPFD, 3);
        ::dup2(in, 0);
        ::dup2(out, 1);
        Watch(spawn);
    }
    ::close(owner[0]);
    ::close(report[1]);
    if (child < 0) {
        ::close(owner[1]);
        ::close(report[0]);
        return;
    }
    writeEnd_ = owner[1];
    watcher_ = child;
    pid_t leader = 0;
    ssize_t got;
    do {
        got = ::read(report[0], &leader, sizeof leader);
    } while (got < 0 && errno == EINTR);
    ::close(report[0]);
    leader_ = got == sizeof leader && leader > 0 ? leader : 0;
}

OwnerWatch::~OwnerWatch()
{
    if (writeEnd_ >= 0)
        ::close(writeEnd_);
    if (watcher_ > 0) {
        while (::waitpid(watcher_, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
}
