#pragma once

#include "delivery/ftp_connection.h"

#include <functional>
#include <string>

// Enters remoteFolder (one trailing "/" dropped, "/" kept) and publishes the
// local folder imageFolder there as a folder of the same name, all at once
// and exactly (see PublishFolder). True when it was published; false, after
// the reason was logged, when the folder is missing, cannot be read whole,
// or anything could not be uploaded or switched.
bool actSendingFiles(FtpConnection* connection, const std::string& imageFolder,
                     const std::string& remoteFolder,
                     const std::function<void(int staged, int count)>& progress = {});
