#pragma once

#include "delivery/untrusted_server.h"

#include <functional>
#include <string>

// The request of one delivery: the folder folderName inside srcFolder goes to
// destination, as a folder of the same name.
struct SendingData
{
    std::string srcFolder;   // the working folder holding folderName
    std::string destination; // local folder, server URL or share path
    bool authentication = false;
    std::string id;       // user name
    std::string password; // plain text
    std::string folderName;
    // Told after each image that reached the destination: how many of how
    // many. Called on the delivering thread.
    std::function<void(int delivered, int count)> progress;
    // Whether to trust a server whose identity could not be checked, and go
    // on; it is then recorded. Unset: such a server is refused.
    std::function<bool(const UntrustedServer& server)> trustServer;
};

// Delivery result codes other than 0 are those of convert/result_codes.h:
// 20 no request, 21 no FTP or SFTP handle, 22 server unreachable, its
// identity not trusted or the login refused, 23 any other failure.
