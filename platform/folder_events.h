#pragma once

#include "platform/unique_fd.h"

#include <chrono>
#include <string>
#include <vector>

// The kernel's notifications (inotify) of files written, moved in or
// changed directly in one folder.
class FolderEvents
{
public:
    // Throws std::runtime_error naming the folder when it cannot be watched.
    explicit FolderEvents(const std::string& folder);

    // Waits up to timeout for notifications and returns the names they were
    // about, in order, repeats included; empty when none came.
    std::vector<std::string> Wait(std::chrono::milliseconds timeout);

private:
    UniqueFd inotify_;
};
