#pragma once

#include <functional>

// Runs body in a forked child and returns its result as the child's exit
// status (0 to 255), or -1 when the child did not exit normally. For state
// that a process sets once, like the debug log.
int RunInChild(const std::function<int()>& body);

// The same, with the child running as the unprivileged user "nobody", so
// that permission bits hold even when the tests run as root.
int RunAsUnprivileged(const std::function<int()>& body);

// User and group id of "nobody" (65534 when the entry is missing).
unsigned UnprivilegedUid();
unsigned UnprivilegedGid();
