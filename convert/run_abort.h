#pragma once

// Ends this process at once, as a run that cannot wait for its office any
// longer: kills the offices it started and removes its working folders
// first. Safe from any thread but a signal handler.
[[noreturn]] void AbortRunAtOnce(int exitStatus);
