#pragma once

#include "delivery/sending_data.h"

#include <string>

// Copies the image folder to a folder reached through the file system: a
// local folder, or a share. Returns 0, 20 (no request) or 23.
int fnsdExecuteCopying(const SendingData* request);

// Delivers the image folder to an FTP server or a share, by the kind of the
// destination. Returns 0, 20, 21, 22 or 23.
int fnsdExecuteSending(const SendingData* request);

// Shows a local folder in the desktop's file manager.
bool fnsdExecuteOpeningLocalFolder(const std::string& folder);

// Shows an FTP or share destination; a share is connected first.
bool fnsdExecuteOpeningServer(const std::string& destination, bool authentication,
                              const std::string& id, const std::string& password);
