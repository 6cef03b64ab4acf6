#include "convert/com_apartment_guard.h"

#include <atomic>
#include <csignal>

namespace {

std::atomic<bool> runtimeUp{false};

} // namespace

// The runtime is process-wide: a worker killed while we write to its socket
// must fail that call, not end this process. It stays up until the process
// ends, so there is nothing per thread to undo.
std::unique_ptr<ComApartmentGuard> ComApartmentGuard::Create()
{
    std::unique_ptr<ComApartmentGuard> guard(new ComApartmentGuard);
    if (!runtimeUp.exchange(true)) {
        std::signal(SIGPIPE, SIG_IGN);
        guard->initialized = true;
    }
    return guard;
}

ComApartmentGuard::~ComApartmentGuard() = default;
