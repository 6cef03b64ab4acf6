#pragma once

#include <filesystem>

// Where a running instance of the desktop program listens, and who may talk
// to it: only processes of the same user.
namespace platform {

// The folder of the instance socket, one only this user can enter:
// $XDG_RUNTIME_DIR when it is such a folder, else a folder of ours in the
// temporary-files folder, "korvanta-<uid>", made with mode 0700. A name
// another user holds is passed over for the next one ("korvanta-<uid>-2",
// ...), in the same order by every start. Empty when none can be had.
std::filesystem::path InstanceSocketFolder();

// True when the path is a folder itself (not a link to one), owned by this
// user and closed to everybody else (mode 0700).
bool IsPrivateFolder(const std::filesystem::path& folder);

// True when the process at the other end of the connected local socket runs
// as this user.
bool IsPeerOfThisUser(int socketDescriptor);

} // namespace platform
