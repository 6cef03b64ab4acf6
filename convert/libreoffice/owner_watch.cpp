#include "convert/libreoffice/owner_watch.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <initializer_list>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Runs in the forked child: only async-signal-safe calls from here on.
[[noreturn]] void Watch(int readEnd, pid_t officeGroup)
{
    struct sigaction ignore
    {};
    ignore.sa_handler = SIG_IGN;
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE})
        ::sigaction(signal, &ignore, nullptr);
    // Keep nothing of the owner's but the pipe: a copy of another watch's
    // write end, or of a lock, would outlive the owner here.
    if (readEnd != 0)
        ::dup2(readEnd, 0);
    ::close_range(1, ~0u, 0);
    char byte;
    while (::read(0, &byte, 1) != 0 && errno == EINTR) {
    }
    ::kill(-officeGroup, SIGKILL);
    ::_exit(0);
}

} // namespace

OwnerWatch::OwnerWatch(pid_t officeGroup)
{
    if (officeGroup <= 1)
        return;
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        return;
    const pid_t child = ::fork();
    if (child == 0)
        Watch(ends[0], officeGroup);
    ::close(ends[0]);
    if (child < 0) {
        ::close(ends[1]);
        return;
    }
    writeEnd_ = ends[1];
    watcher_ = child;
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
