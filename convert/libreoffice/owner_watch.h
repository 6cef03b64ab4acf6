#pragma once

#include <sys/types.h>

// A small watcher process that kills an office's process group once this
// process is gone, however it ended: killed, crashed or exited. It waits for
// the end of a pipe whose only writer is this process. Letting the watch go
// ends the watcher; it kills whatever is left of the group then, so let it
// go only once the office has ended or is meant to end.
class OwnerWatch
{
public:
    explicit OwnerWatch(pid_t officeGroup);
    ~OwnerWatch();
    OwnerWatch(const OwnerWatch&) = delete;
    OwnerWatch& operator=(const OwnerWatch&) = delete;

    bool IsWatching() const { return watcher_ > 0; }

private:
    int writeEnd_ = -1;
    pid_t watcher_ = 0;
};
