#pragma once

#include <optional>
#include <string>
#include <vector>

// A share destination as libsmbclient addresses it.
struct SharePath
{
    std::string shareUrl; // "smb://server[:port]/share"
    std::string url;      // shareUrl and the folders below it
};

// Reads "\\server\share\dir" or "smb://server[:port]/share/dir"; one trailing
// separator is dropped. Names from a UNC path are percent-encoded, an smb://
// URL is taken as already encoded. Empty when there is no server or share,
// when a folder name is empty, or when the server part carries credentials
// or options (they come from the profile only).
std::optional<SharePath> ParseSharePath(const std::string& destination);

// url + "/" + the percent-encoded name.
std::string AppendToShareUrl(const std::string& url, const std::string& name);

// The URLs of the folders between the share and url, outermost first: for
// "smb://s/share/a/b" those of a and a/b. Empty when url names no folder
// below a share.
std::vector<std::string> FoldersBelowShare(const std::string& url);
