#pragma once

#include "delivery/sending_data.h"

#include <stop_token>
#include <string>

// Publishes the image folder into a local folder, whatever the folder is
// called, exactly and all at once (see PublishFolder). Returns 0, 20 (no
// request) or 23. Nothing is read outside
// srcFolder/folderName, nothing written outside destination/folderName.
int fnsdExecuteCopying(const SendingData* request);

// Publishes the image folder to an FTP server or a share, by the kind of the
// destination, as the local copy does. Returns 0, 20, 21, 22 or 23.
int fnsdExecuteSending(const SendingData* request);

// Shows a local folder in the desktop's file manager. A stop request ends
// the wait for the desktop's opener (see ShellOpen).
bool fnsdExecuteOpeningLocalFolder(const std::string& folder, const std::stop_token& stop = {});

// Shows an FTP or share destination; a share is connected first.
bool fnsdExecuteOpeningServer(const std::string& destination, bool authentication,
                              const std::string& id, const std::string& password,
                              const std::stop_token& stop = {});
