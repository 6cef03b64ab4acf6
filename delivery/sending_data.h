#pragma once

#include <functional>
#include <string>

// The request of one delivery: the folder folderName inside srcFolder goes to
// destination, as a folder of the same name.
struct SendingData
{
    std::string srcFolder;   // the working folder holding folderName
    std::string destination; // local folder, "ftp://..." URL or share path
    bool authentication = false;
    std::string id;       // user name
    std::string password; // plain text
    std::string folderName;
    // Told after each image that reached the destination: how many of how
    // many. Called on the delivering thread.
    std::function<void(int delivered, int count)> progress;
};

// Delivery result codes other than 0 are those of convert/result_codes.h:
// 20 no request, 21 no FTP handle, 22 FTP server unreachable or login
// refused, 23 any other failure.
