#pragma once

#include <string>

enum DestinationType
{
    DEST_TYPE_FTP = 1,
    DEST_TYPE_SMB = 2,
    DEST_TYPE_SFTP = 3,
    DEST_TYPE_UNKNOWN = 9,
};

// The kind of a server destination: an "ftp://", "ftpes://" or "ftps://" URL
// (scheme in any case) is FTP, an "sftp://" URL is SFTP; a path starting
// with two backslashes, or an "smb://" URL (any case), is a share.
int actCheckType(const std::string& destination);

// "a/b" from "a" and "b", with no doubled separator when a ends with one.
std::string JoinPath(const std::string& folder, const std::string& name, char separator = '/');
