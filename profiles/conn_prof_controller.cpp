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
    try {
        std::vector<ConnectProfileData> changed = profiles_;
        changed.push_back(profile);
        if (!ConnectProfile().SaveConnectProfiles(changed))
            throw Failure("ConnectProfile::SaveConnectProfiles() failed.");
        profiles_.swap(changed);
        return true;
    } catch (const Failure& e) {
        LogError(scope.Name(), "%s", e.what());
    } catch (...) {
        LogError(scope.Name(), "Unknown exception.");
    }
    return false;
}

bool ConnProfController::ModifyConnectProfile(const ConnectProfileData& profile, int index)
{
    LogScope scope("ConnProfController::ModifyConnectProfile");
    try {
        if (!IsValidIndex(index))
            throw Failure("Invalid parameter.");
        std::vector<ConnectProfileData> changed = profiles_;
        changed[static_cast<std::size_t>(index)] = profile;
        if (!ConnectProfile().SaveConnectProfiles(changed))
            throw Failure("ConnectProfile::SaveConnectProfiles() failed.");
        profiles_.swap(changed);
        return true;
    } catch (const Failure& e) {
        LogError(scope.Name(), "%s", e.what());
    } catch (...) {
        LogError(scope.Name(), "Unknown exception.");
    }
    return false;
}

bool ConnProfController::DeleteConnectProfile(int index)
{
    LogScope scope("ConnProfController::DeleteConnectProfile");
    try {
        if (!IsValidIndex(index))
            throw Failure("Invalid parameter.");
        std::vector<ConnectProfileData> changed = profiles_;
        changed.erase(changed.begin() + index);
        if (!ConnectProfile().SaveConnectProfiles(changed))
            throw Failure("ConnectProfile::SaveConnectProfiles() failed.");
        profiles_.swap(changed);
        return true;
    } catch (const Failure& e) {
        LogError(scope.Name(), "%s", e.what());
    } catch (...) {
        LogError(scope.Name(), "Unknown exception.");
    }
    return false;
}

bool ConnProfController::GetConnectProfile(int index, ConnectProfileData& profile)
{
    LogScope scope("ConnProfController::GetConnectProfile");
    try {
        if (!IsValidIndex(index))
            throw Failure("Invalid parameter.");
        profile = profiles_[static_cast<std::size_t>(index)];
        return true;
    } catch (const Failure& e) {
        LogError(scope.Name(), "%s", e.what());
    } catch (...) {
        LogError(scope.Name(), "Unknown exception.");
    }
    return false;
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
    try {
        if (!IsValidIndex(index))
            throw Failure("Invalid parameter.");
        name = profiles_[static_cast<std::size_t>(index)].dispName;
        return true;
    } catch (const Failure& e) {
        LogError(scope.Name(), "%s", e.what());
    } catch (...) {
        LogError(scope.Name(), "Unknown exception.");
    }
    return false;
}

int ConnProfController::GetProfileCount()
{
    LogScope scope("ConnProfController::GetProfileCount");
    return static_cast<int>(profiles_.size());
}

bool ConnProfController::IsValidIndex(int index) const
{
    return index >= 0 && static_cast<std::size_t>(index) < profiles_.size();
}
