#pragma once

#include "platform/file_lock.h"

// The number under which this process runs offices of its own: the first
// one no living process holds. It is held through a lock on a file in the
// cache folder until the process ends, so its pipes and profiles are this
// run's alone, and whatever still listens there is left over from a run
// that is gone.
class RunSlot
{
public:
    // Takes a slot when none is held yet. False when none can be had.
    bool Claim();
    // The slot held, or -1.
    int Number() const { return number_; }

private:
    FileLock lock_;
    int number_ = -1;
};
