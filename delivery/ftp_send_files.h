#pragma once

#include "delivery/ftp_connection.h"

#include <string>

// Enters remoteFolder (one trailing "/" dropped, "/" kept) and reproduces
// the tree below localFolder there: each subfolder is created (or reused),
// entered by its name, filled the same way and left with "..", each file is
// stored under its name. True when every entry was uploaded; what was
// uploaded before a failure stays on the server.
bool actSendingFiles(FtpConnection* connection, const std::string& localFolder,
                     const std::string& remoteFolder);

// Enters remoteFolder and reproduces there the folder name of localParent,
// with everything below it, as the folder name; nothing else of localParent
// is read. Links and special files in the tree fail the walk. False when
// the folder is missing or anything could not be uploaded.
bool actSendingFolder(FtpConnection* connection, const std::string& localParent,
                      const std::string& remoteFolder, const std::string& name);
