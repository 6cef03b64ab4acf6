#pragma once

#include <filesystem>
#include <string>
#include <sys/types.h>

// Our own office process: a headless LibreOffice with a private profile,
// listening on a pipe whose name is ours. A user's own office is never ours.
namespace office {

// The accept-pipe name, unique to this program and user.
std::string PipeName();

// The private user profile of our office.
std::filesystem::path ProfileFolder();

// The soffice.bin process listening on our pipe, or 0 when none runs.
pid_t FindOfficeProcess();

// Starts our office in a process group of its own. Returns the pid of the
// started launcher, or 0 when it could not be started.
pid_t StartOffice();

// Kills the whole process group of pid (never our own group).
void KillOfficeGroup(pid_t pid);

// True when the process has ended. Reaps it when it is our child.
bool HasEnded(pid_t pid);

} // namespace office

// 1 when our office is running, else 0.
int actCheckPptRunning();
