#pragma once

#include <filesystem>
#include <string>
#include <sys/types.h>

// Our own office process: a headless LibreOffice with a private profile,
// listening on a pipe whose name is ours. A user's own office is never ours.
namespace office {

// We may run several offices side by side, one per lane, each with a pipe
// and a profile of its own; lane 0 is the office a single export uses.

// The accept-pipe name of a lane, unique to this program and user.
std::string PipeName(int lane = 0);

// The private user profile of a lane's office.
std::filesystem::path ProfileFolder(int lane = 0);

// The soffice.bin process listening on the lane's pipe, or 0 when none runs.
pid_t FindOfficeProcess(int lane = 0);

// Any office of ours, on any lane, or 0 when none runs.
pid_t FindAnyOfficeProcess();

// Starts a lane's office in a process group of its own. Returns the pid of
// the started launcher, or 0 when it could not be started.
pid_t StartOffice(int lane = 0);

// Kills the whole process group of pid (never our own group).
void KillOfficeGroup(pid_t pid);

// True when the process has ended. Reaps it when it is our child.
bool HasEnded(pid_t pid);

} // namespace office

// 1 when our office is running, else 0.
int actCheckPptRunning();
