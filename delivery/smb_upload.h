#pragma once

#include "delivery/sending_data.h"

#include <string>

// True when the share of destination ("\\server\share\dir" or
// "smb://server[:port]/share/dir") can be used with these credentials: the
// user's own or guest access when authentication is off.
bool actConnectSMB(const std::string& destination, bool authentication, const std::string& id,
                   const std::string& password);

// Connects to the share once and publishes the image folder there, as the
// local copy does. Returns 0, 20 (no request) or 23.
int actSendingSMB(const SendingData* request);

// The smb:// URL that shows a share destination on the desktop, after its
// connection was checked. Throws Failure("actConnectSMB() failed.") when the
// share cannot be used.
std::string ShareOpenTarget(const std::string& destination, bool authentication,
                            const std::string& id, const std::string& password);
