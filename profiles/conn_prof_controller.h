#pragma once

#include "profiles/connect_profile_data.h"
#include "profiles/profile_file_io.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

// Owns the list of saved destinations for the whole run. Every change is
// saved to the profile file first and made in memory only when the save
// succeeded, so the list never holds a change the file lacks.
//
// Other processes (the command line, another session) may change the file
// meanwhile. Each change takes the profile file lock, and reloads the list
// first when the file is no longer the one last read or written, so that
// the change applies to the current list and loses nothing.
class ConnProfController
{
public:
    ConnProfController();
    ~ConnProfController();
    ConnProfController(const ConnProfController&) = delete;
    ConnProfController& operator=(const ConnProfController&) = delete;

    // Loads the list from the file; call once.
    bool Init();
    // Reloads the list when the file changed since it was last read or
    // written; true when it did.
    bool Refresh();

    // Refused once the list holds MAX_CONNECT_PROFILES, since the file
    // would not give a further one back.
    bool AddConnectProfile(const ConnectProfileData& profile);
    // index names the profile as the caller last saw the list. When the file
    // was reloaded since, the change goes to that same profile wherever it
    // now stands, and is refused when it is gone.
    bool ModifyConnectProfile(const ConnectProfileData& profile, int index);
    bool DeleteConnectProfile(int index);

    bool GetConnectProfile(int index, ConnectProfileData& profile);
    // Appends every display name, in list order.
    void GetProfileNameList(std::vector<std::string>& names);
    bool GetProfileDispName(int index, std::string& name);
    int GetProfileCount();

private:
    using ProfileList = std::vector<ConnectProfileData>;

    // What the file held when it was last read or written.
    struct FileStamp
    {
        ReadOutcome outcome = ReadOutcome::Absent;
        ByteBuffer bytes;
        bool operator==(const FileStamp&) const = default;
    };

    // Throws "Invalid parameter." for an index outside the list.
    void CheckIndex(int index) const;
    static FileStamp ReadStamp(const std::string& path);
    // Reloads when the file changed; throws when it cannot be read.
    void CatchUpWithFile(const std::string& path);
    // Where the profile seen at index stands after a reload.
    int CurrentIndexOf(const ConnectProfileData& seen, int index) const;
    // Runs change on a copy of the list under the lock, with the current
    // index of the profile it concerns, if any, and saves the copy.
    bool SaveChange(const std::string& function, std::optional<int> index,
                    const std::function<void(ProfileList&, int)>& change);

    ProfileList profiles_;
    FileStamp stamp_;
};
