#include "convert/deck_watch.h"

#include "convert/source_checks.h"
#include "platform/unique_fd.h"

#include <cerrno>
#include <fcntl.h>

namespace fs = std::filesystem;

namespace {

// True while some process has the file open for writing. A read lease is
// refused exactly then; where leases cannot be had at all, the quiet span
// alone decides.
bool OpenForWriting(const fs::path& path)
{
    const UniqueFd file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
    if (!file.IsOpen())
        return false;
    if (::fcntl(file.Get(), F_SETLEASE, F_RDLCK) == 0) {
        ::fcntl(file.Get(), F_SETLEASE, F_UNLCK);
        return false;
    }
    return errno == EAGAIN;
}

} // namespace

bool IsWatchedDeck(const std::string& name)
{
    if (name.empty() || name.starts_with('.') || name.starts_with("~$"))
        return false;
    return fnjgCheckPptExtension(name) == 0;
}

DeckWatch::DeckWatch(fs::path folder, std::chrono::milliseconds quiet)
    : folder_(std::move(folder)), quiet_(quiet)
{}

DeckWatch::Signature DeckWatch::Look(const std::string& name) const
{
    std::error_code error;
    const fs::path path = folder_ / name;
    Signature signature;
    if (fs::symlink_status(path, error).type() != fs::file_type::regular)
        return signature;
    signature.size = fs::file_size(path, error);
    signature.time = fs::last_write_time(path, error);
    signature.exists = !error;
    return signature;
}

void DeckWatch::Touched(const std::string& name, Clock::time_point now)
{
    pending_[name] = {now, Look(name)};
}

std::vector<std::string> DeckWatch::Due(Clock::time_point now)
{
    std::vector<std::string> due;
    for (auto entry = pending_.begin(); entry != pending_.end();) {
        auto& [name, pending] = *entry;
        if (now - pending.since < quiet_) {
            ++entry;
            continue;
        }
        const Signature signature = Look(name);
        if (!signature.exists) {
            entry = pending_.erase(entry);
            continue;
        }
        // Changed, or still open for writing: another quiet span.
        if (!(signature == pending.signature) || OpenForWriting(folder_ / name)) {
            pending = {now, signature};
            ++entry;
            continue;
        }
        const auto failure = failed_.find(name);
        if (failure == failed_.end() || !(failure->second == signature))
            due.push_back(name);
        entry = pending_.erase(entry);
    }
    return due;
}

void DeckWatch::Failed(const std::string& name)
{
    failed_[name] = Look(name);
}
