#include "platform/folder_events.h"

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <stdexcept>
#include <sys/inotify.h>

FolderEvents::FolderEvents(const std::string& folder)
    : inotify_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
{
    // Written and closed, moved or linked in, changed, or its times set.
    const uint32_t events = IN_CLOSE_WRITE | IN_MOVED_TO | IN_MODIFY | IN_CREATE | IN_ATTRIB;
    if (!inotify_.IsOpen() ||
        ::inotify_add_watch(inotify_.Get(), folder.c_str(), events | IN_ONLYDIR) < 0)
        throw std::runtime_error("cannot watch " + folder + ": " + std::strerror(errno));
}

std::vector<std::string> FolderEvents::Wait(std::chrono::milliseconds timeout)
{
    std::vector<std::string> names;
    pollfd ready{inotify_.Get(), POLLIN, 0};
    if (::poll(&ready, 1, static_cast<int>(timeout.count())) <= 0)
        return names;
    alignas(inotify_event) char buffer[16 * 1024];
    for (;;) {
        const ssize_t length = ::read(inotify_.Get(), buffer, sizeof buffer);
        if (length <= 0)
            return names;
        for (ssize_t at = 0; at < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            if (event->len > 0)
                names.emplace_back(event->name);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
}
