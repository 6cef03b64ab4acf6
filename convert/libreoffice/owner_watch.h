#pragma once

#include <functional>
#include <sys/types.h>

// A small watcher process that starts a process group and kills it once
// this process is gone, however it ended: killed, crashed or exited. The
// group is started by the watcher itself, so there is no moment at which it
// runs unwatched. The watcher waits for the end of a pipe whose only writer
// is this process; letting the watch go ends the watcher, which kills
// whatever is left of the group then, so let it go only once the group has
// ended or is meant to end.
class OwnerWatch
{
public:
    // spawn runs in the watcher process: it may only make async-signal-safe
    // calls, and returns the pid of the started group leader, or 0.
    explicit OwnerWatch(const std::function<pid_t()>& spawn);
    ~OwnerWatch();
    OwnerWatch(const OwnerWatch&) = delete;
    OwnerWatch& operator=(const OwnerWatch&) = delete;

    // The leader of the watched group, or 0 when none was started.
    pid_t Leader() const { return leader_; }

private:
    int writeEnd_ = -1;
    pid_t watcher_ = 0;
    pid_t leader_ = 0;
};
