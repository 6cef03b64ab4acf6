#pragma once

#include <memory>

// Makes the office automation runtime usable from the calling thread for as
// long as the guard lives. The worker thread creates one before it converts.
class ComApartmentGuard
{
public:
    // The guard, or null when the runtime cannot be brought up; the export
    // then fails to reach the office.
    static std::unique_ptr<ComApartmentGuard> Create();
    ~ComApartmentGuard();
    ComApartmentGuard(const ComApartmentGuard&) = delete;
    ComApartmentGuard& operator=(const ComApartmentGuard&) = delete;

    // True when this guard brought the runtime up.
    bool initialized = false;

private:
    ComApartmentGuard() = default;
};
