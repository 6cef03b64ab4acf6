#pragma once

#include "platform/unique_fd.h"

#include <string>

// The sockets a render worker listens on: Unix sockets in the abstract
// namespace, named after the worker, so nothing is left on disk when it is
// killed. Any local user could reach such a name, so either end talks only
// to a peer of its own user.
namespace worker {

// Listens on the name; not open when another process listens there already.
UniqueFd Listen(const std::string& name);

// The next connection from our own user; others are closed unanswered.
// Not open when the listener fails.
UniqueFd AcceptOwnUser(int listener);

// A connection to the worker listening on the name, when one of our own
// user does; not open otherwise.
UniqueFd Connect(const std::string& name);

} // namespace worker
