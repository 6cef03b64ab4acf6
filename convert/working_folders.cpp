#include "convert/working_folders.h"

#include "log/debug_log.h"
#include "platform/file_lock.h"

#include <chrono>
#include <map>
#include <mutex>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace working_folders {
namespace {

const std::string_view kPrefix = ".Korvanta.temp";
const std::size_t kStampDigits = 5;
// A run locks its folder right after making it; an empty folder younger
// than this may be one whose lock is still to come.
const auto kFreshFolder = std::chrono::seconds(60);

std::mutex claimedMutex;
std::map<fs::path, FileLock>& Claimed()
{
    static std::map<fs::path, FileLock> claimed;
    return claimed;
}

bool IsWorkingFolderName(const std::string& name)
{
    if (name.size() != kPrefix.size() + kStampDigits || !name.starts_with(kPrefix))
        return false;
    return name.find_first_not_of("0123456789", kPrefix.size()) == std::string::npos;
}

bool IsFreshAndEmpty(const fs::path& folder, const struct stat& status)
{
    std::error_code error;
    if (!fs::is_empty(folder, error) || error)
        return false;
    const auto changed = std::chrono::system_clock::from_time_t(status.st_mtime);
    return std::chrono::system_clock::now() - changed < kFreshFolder;
}

} // namespace

bool Claim(const fs::path& folder)
{
    // Waits: another run's sweep may hold the lock for a moment, and it
    // leaves a fresh, empty folder alone.
    FileLock lock;
    if (!lock.LockFolder(folder, true))
        return false;
    std::lock_guard guard(claimedMutex);
    Claimed()[folder] = std::move(lock);
    return true;
}

void Release(const fs::path& folder)
{
    std::lock_guard guard(claimedMutex);
    Claimed().erase(folder);
}

void RemoveClaimed()
{
    std::lock_guard guard(claimedMutex);
    for (const auto& [folder, lock] : Claimed()) {
        std::error_code error;
        fs::remove_all(folder, error);
    }
    Claimed().clear();
}

void SweepAbandoned(const fs::path& tempFolder)
{
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(tempFolder, error)) {
        const fs::path folder = entry.path();
        struct stat status
        {};
        if (!IsWorkingFolderName(folder.filename().string()) ||
            ::lstat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode) ||
            status.st_uid != ::getuid())
            continue;
        // A living run holds its folder's lock; holding it here proves the
        // run is gone, and keeps a new one from starting in it meanwhile.
        FileLock lock;
        if (!lock.LockFolder(folder, false) || IsFreshAndEmpty(folder, status))
            continue;
        std::error_code removal;
        fs::remove_all(folder, removal);
        LogInfo("SweepAbandoned", "Removed [%s].", folder.c_str());
    }
}

} // namespace working_folders
