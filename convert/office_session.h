#pragma once

#include "convert/com_apartment_guard.h"

#include <memory>

// One set of offices for a whole batch: each lane's office started before the
// first conversion when it does not run, and quit after the last only when
// this session started it.
class OfficeSession
{
public:
    OfficeSession();
    ~OfficeSession();
    OfficeSession(const OfficeSession&) = delete;
    OfficeSession& operator=(const OfficeSession&) = delete;

    void EnsureRunning();

private:
    std::unique_ptr<ComApartmentGuard> guard_;
    bool checked_ = false;
    bool started_ = false;
};
