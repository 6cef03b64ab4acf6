#pragma once

#include "profiles/connect_profile_data.h"

#include <functional>
#include <string>
#include <vector>

// Owns the list of saved destinations for the whole run. Every change is
// saved to the profile file first and made in memory only when the save
// succeeded, so the list never holds a change the file lacks.
class ConnProfController
{
public:
    ConnProfController();
    ~ConnProfController();
    ConnProfController(const ConnProfController&) = delete;
    ConnProfController& operator=(const ConnProfController&) = delete;

    // Loads the list from the file; call once.
    bool Init();

    bool AddConnectProfile(const ConnectProfileData& profile);
    bool ModifyConnectProfile(const ConnectProfileData& profile, int index);
    bool DeleteConnectProfile(int index);

    bool GetConnectProfile(int index, ConnectProfileData& profile);
    // Appends every display name, in list order.
    void GetProfileNameList(std::vector<std::string>& names);
    bool GetProfileDispName(int index, std::string& name);
    int GetProfileCount();

private:
    using ProfileList = std::vector<ConnectProfileData>;

    // Throws "Invalid parameter." for an index outside the list.
    void CheckIndex(int index) const;
    bool SaveChange(const std::string& function, const std::function<void(ProfileList&)>& change);

    ProfileList profiles_;
};
