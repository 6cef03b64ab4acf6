#pragma once

#include "profiles/connect_profile_data.h"

#include <string>
#include <vector>

// The profile file: the list as six-line text blocks, scrambled, in the
// per-user application folder. Holds no state; make one for each load or
// save.
class ConnectProfile
{
public:
    ConnectProfile();
    ~ConnectProfile();

    // Replaces the whole file with the list; through a link, the link's
    // target. On failure the old file stays as it was: a value holding a
    // line break, a target that is not a regular file or that its owner
    // made read-only, all fail. Callers that may race other writers hold
    // ProfileFileLock around their load-change-save.
    bool SaveConnectProfiles(const std::vector<ConnectProfileData>& list);
    // Appends the profiles of blocks 0 to 31, in block order. True also when
    // there is no file; false when something is there that cannot be read.
    bool LoadConnectProfiles(std::vector<ConnectProfileData>& list);

    // Appends the six-line block of record, numbered n; false when a value
    // holds a line break.
    bool SetProfileToStr(const ConnectProfileData& record, int n, std::string& text);
    // Fills record from block n; false when there is no complete block n.
    bool GetProfileFromStr(const std::string& text, int n, ConnectProfileData& record);

    bool GetFilePath(std::string& path);
};
