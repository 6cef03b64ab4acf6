#pragma once

#include <string>

// Proves that a folder can be created in folder by creating one named after
// the local time and removing it at once. False when the file system refuses
// (a read-only medium, a missing folder, no permission).
bool ProbeLocalFolder(const std::string& folder);
