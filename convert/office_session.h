#pragma once

#include "convert/automation.h"
#include "convert/com_apartment_guard.h"

#include <memory>
#include <vector>

// One set of offices for a whole batch: each lane's office started before the
// first conversion when it does not run, and quit after the last only when
// this run started it.
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
    std::vector<std::unique_ptr<Application>> startedHere_;
    bool checked_ = false;
};
