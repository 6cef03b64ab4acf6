#include "profiles/conn_prof_controller.h"

#include "log/failure.h"
#include "log/log_scope.h"
#include "profiles/connect_profile.h"

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

bool ConnProfController::Init()
{
    LogScope scope("ConnProfController::Init");
    try {
        return ConnectProfile().LoadConnectProfiles(profiles_);
    } catch (...) {
        LogError(scope.Name(), "Unknown exception.");
    }
    return false;
}

bool ConnProfController::AddConnectProfile(const ConnectProfileData& profile)
{
    LogScope scope("ConnProfController::AddConnectProfile");
    return SaveChange(scope.Name(), [&](ProfileList& list) { list.push_back(profile); });
}

bool ConnProfController::ModifyConnectProfile(const ConnectProfileData& profile, int index)
{
    LogScope scope("ConnProfController::ModifyConnectProfile");
    return SaveChange(scope.Name(), [&](ProfileList& list) {
        CheckIndex(index);
        list[static_cast<std::size_t>(index)] = profile;
    });
}

bool ConnProfController::DeleteConnectProfile(int index)
{
    LogScope scope("ConnProfController::DeleteConnectProfile");
    return SaveChange(scope.Name(), [&](ProfileList& list) {
        CheckIndex(index);
        list.erase(list.begin() + index);
    });
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

// All or nothing: the change is made to a copy, the copy saved, and only
// then does the copy become the list.
bool ConnProfController::SaveChange(const std::string& function,
                                    const std::function<void(ProfileList&)>& change)
{
    return StepsSucceed(function, [&] {
        ProfileList changed = profiles_;
        change(changed);
        if (!ConnectProfile().SaveConnectProfiles(changed))
            throw Failure("ConnectProfile::SaveConnectProfiles() failed.");
        profiles_.swap(changed);
    });
}
