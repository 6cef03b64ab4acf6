#include "profiles/conn_prof_controller.h"

#include "log/failure.h"
#include "log/log_scope.h"
#include "platform/app_folders.h"
#include "profiles/connect_profile.h"
#include "profiles/profile_lock.h"

#include <algorithm>

ConnProfController::ConnProfController()
{
    LogStart("ConnProfController::ConnProfController");
    LogEnd("ConnProfController::ConnProfController");
}

ConnProfController::~ConnProfController()
{
    LogStart("ConnProfController::~ConnProfController");
    LogEnd("ConnProfController::~ConnProfController");
}

namespace {

std::string ProfileFilePath()
{
    std::string path;
    if (!ConnectProfile().GetFilePath(path))
        throw Failure("ConnectProfile::GetFilePath() failed.");
    return path;
}

} // namespace

bool ConnProfController::Init()
{
    LogScope scope("ConnProfController::Init");
    bool loaded = false;
    StepsSucceed(scope.Name(), [&] {
        // The stamp comes first: a change between the two reads then only
        // makes the next change reload once more.
        stamp_ = ReadStamp(ProfileFilePath());
        loaded = ConnectProfile().LoadConnectProfiles(profiles_);
    });
    return loaded;
}

bool ConnProfController::Refresh()
{
    LogScope scope("ConnProfController::Refresh");
    bool reloaded = false;
    StepsSucceed(scope.Name(), [&] {
        const std::string path = ProfileFilePath();
        const FileStamp before = stamp_;
        CatchUpWithFile(path);
        reloaded = before != stamp_;
    });
    return reloaded;
}

bool ConnProfController::AddConnectProfile(const ConnectProfileData& profile)
{
    LogScope scope("ConnProfController::AddConnectProfile");
    return SaveChange(scope.Name(), std::nullopt, [&](ProfileList& list, int) {
        if (list.size() >= static_cast<std::size_t>(MAX_CONNECT_PROFILES))
            throw Failure("The destination list is full.");
        list.push_back(profile);
    });
}

bool ConnProfController::ModifyConnectProfile(const ConnectProfileData& profile, int index)
{
    LogScope scope("ConnProfController::ModifyConnectProfile");
    return SaveChange(scope.Name(), index, [&](ProfileList& list, int current) {
        list[static_cast<std::size_t>(current)] = profile;
    });
}

bool ConnProfController::DeleteConnectProfile(int index)
{
    LogScope scope("ConnProfController::DeleteConnectProfile");
    return SaveChange(scope.Name(), index,
                      [&](ProfileList& list, int current) { list.erase(list.begin() + current); });
}

bool ConnProfController::GetConnectProfile(int index, ConnectProfileData& profile)
{
    LogScope scope("ConnProfController::GetConnectProfile");
    return StepsSucceed(scope.Name(), [&] {
        CheckIndex(index);
        profile = profiles_[static_cast<std::size_t>(index)];
    });
}

void ConnProfController::GetProfileNameList(std::vector<std::string>& names)
{
    LogScope scope("ConnProfController::GetProfileNameList");
    try {
        for (const ConnectProfileData& profile : profiles_)
            names.push_back(profile.dispName);
    } catch (...) {
        LogError(scope.Name(), "Unknown exception.");
    }
}

bool ConnProfController::GetProfileDispName(int index, std::string& name)
{
    LogScope scope("ConnProfController::GetProfileDispName");
    return StepsSucceed(scope.Name(), [&] {
        CheckIndex(index);
        name = profiles_[static_cast<std::size_t>(index)].dispName;
    });
}

int ConnProfController::GetProfileCount()
{
    LogScope scope("ConnProfController::GetProfileCount");
    return static_cast<int>(profiles_.size());
}

void ConnProfController::CheckIndex(int index) const
{
    if (index < 0 || static_cast<std::size_t>(index) >= profiles_.size())
        throw Failure("Invalid parameter.");
}

ConnProfController::FileStamp ConnProfController::ReadStamp(const std::string& path)
{
    FileStamp stamp;
    stamp.outcome = ReadWholeFile(path, stamp.bytes);
    return stamp;
}

// The whole file is compared, not its size and time: a save replaces it with
// the same size within the same tick often enough, and the scrambler's
// random prefix makes every save's bytes differ.
void ConnProfController::CatchUpWithFile(const std::string& path)
{
    FileStamp now = ReadStamp(path);
    if (now.outcome == ReadOutcome::Unreadable)
        throw Failure("The profile file cannot be read.");
    if (now == stamp_)
        return;
    // A file that reads but does not load (damaged, foreign) counts as an
    // empty list, as it does at start, and the next save replaces it.
    ProfileList reloaded;
    ConnectProfile().LoadConnectProfiles(reloaded);
    profiles_.swap(reloaded);
    stamp_ = std::move(now);
}

int ConnProfController::CurrentIndexOf(const ConnectProfileData& seen, int index) const
{
    if (index < static_cast<int>(profiles_.size()) &&
        profiles_[static_cast<std::size_t>(index)] == seen)
        return index;
    const auto found = std::find(profiles_.begin(), profiles_.end(), seen);
    if (found == profiles_.end())
        throw Failure("The destination was changed or deleted elsewhere.");
    return static_cast<int>(found - profiles_.begin());
}

// All or nothing: the change is made to a copy, the copy saved, and only
// then does the copy become the list. The lock spans the check for changes
// made elsewhere, the change and the save.
bool ConnProfController::SaveChange(const std::string& function, std::optional<int> index,
                                    const std::function<void(ProfileList&, int)>& change)
{
    return StepsSucceed(function, [&] {
        ConnectProfileData seen;
        if (index) {
            CheckIndex(*index);
            seen = profiles_[static_cast<std::size_t>(*index)];
        }
        const std::string path = ProfileFilePath();
        if (!platform::EnsureAppDataFolder())
            throw Failure("EnsureAppDataFolder() failed.");
        ProfileFileLock lock(path);
        if (!lock.Held())
            throw Failure("flock() failed.");
        CatchUpWithFile(path);
        const int current = index ? CurrentIndexOf(seen, *index) : -1;
        ProfileList changed = profiles_;
        change(changed, current);
        if (!ConnectProfile().SaveConnectProfiles(changed))
            throw Failure("ConnectProfile::SaveConnectProfiles() failed.");
        profiles_.swap(changed);
        stamp_ = ReadStamp(path);
    });
}
