#pragma once

#include "convert/libreoffice/office_identity.h"
#include "convert/libreoffice/owner_watch.h"

#include <cstddef>
#include <memory>
#include <string>
#include <sys/types.h>

// Our own office process: a headless LibreOffice with a private profile,
// listening on a pipe whose name is ours. A user's own office is never ours.
namespace office {

// We may run several offices side by side, one per lane, each with a pipe
// and a profile of its own; lane 0 is the office a single export uses.

// The soffice.bin process listening on the pipe, or 0 when none runs.
pid_t FindOfficeProcess(const std::string& pipe);

// Any office of ours (this user and cache folder), or 0 when none runs.
pid_t FindAnyOfficeProcess();

// An office just started: the launcher leads its process group. An office
// of a run comes with the watch that ends it with the run.
struct StartedOffice
{
    pid_t launcher = 0; // 0 when it could not be started
    std::shared_ptr<OwnerWatch> watch;
};

// Starts a lane's office of a set in a process group of its own; a run's
// office is started under a watch, a shared one is not.
StartedOffice StartOffice(const OfficeSet& set, int lane);

// Kills the whole process group of pid (never our own group).
void KillOfficeGroup(pid_t pid);

// True when the process has ended. Reaps it when it is our child.
bool HasEnded(pid_t pid);

// The resident memory of a process in bytes, 0 when it is gone.
std::size_t ResidentBytes(pid_t pid);

} // namespace office
