#include "convert/com_apartment_guard.h"

#include "convert/libreoffice/uno_runtime.h"

std::unique_ptr<ComApartmentGuard> ComApartmentGuard::Create()
{
    try {
        std::unique_ptr<ComApartmentGuard> guard(new ComApartmentGuard);
        guard->initialized = BootstrapUnoRuntime();
        return guard;
    } catch (...) {
        return nullptr;
    }
}

// The UNO runtime is process-wide and shared by every thread that uses it;
// it stays up until the process ends, so there is nothing per thread to undo.
ComApartmentGuard::~ComApartmentGuard() = default;
