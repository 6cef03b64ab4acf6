#include "tests/support/child_process.h"

#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

int RunForked(const std::function<int()>& body, bool dropPrivileges)
{
    const pid_t pid = ::fork();
    if (pid < 0)
        return -1;
    if (pid == 0) {
        if (dropPrivileges && ::geteuid() == 0) {
            const gid_t gid = UnprivilegedGid();
            if (::setgroups(1, &gid) != 0 || ::setgid(gid) != 0 || ::setuid(UnprivilegedUid()) != 0)
                ::_exit(254);
        }
        int result = 255;
        try {
            result = body();
        } catch (...) {
            result = 253;
        }
        ::_exit(result & 0xFF);
    }
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

} // namespace

int RunInChild(const std::function<int()>& body)
{
    return RunForked(body, false);
}

int RunAsUnprivileged(const std::function<int()>& body)
{
    return RunForked(body, true);
}

unsigned UnprivilegedUid()
{
    const passwd* entry = ::getpwnam("nobody");
    return entry ? entry->pw_uid : 65534;
}

unsigned UnprivilegedGid()
{
    const passwd* entry = ::getpwnam("nobody");
    return entry ? entry->pw_gid : 65534;
}
