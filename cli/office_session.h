#pragma once

#include "convert/automation.h"
#include "convert/com_apartment_guard.h"

#include <memory>

// One office for a whole batch: started before the first conversion when
// none of ours runs, and quit after the last only when this run started it.
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
    Application office_;
    bool checked_ = false;
    bool startedHere_ = false;
};
