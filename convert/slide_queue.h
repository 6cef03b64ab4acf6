#pragma once

#include "convert/ppt_export.h"

#include <atomic>
#include <exception>
#include <mutex>

// Hands out the slide numbers of one export in order to the lanes that
// export them, and stops them all at a cancel or at the first failure.
class SlideQueue
{
public:
    SlideQueue(int count, const std::atomic<int>& cancel, ExportObserver* observer);

    // The next slide to export, or 0 when there is none left to do: all were
    // handed out, the cancel flag is set, or a lane failed.
    int Next();
    // A slide was written; tells the observer, one call at a time.
    void Written();
    // Keeps the first failure; the others follow from it.
    void Fail(std::exception_ptr failure);

    std::exception_ptr Failure() const;
    bool Cancelled() const;

private:
    mutable std::mutex mutex_;
    int next_ = 1;
    int written_ = 0;
    const int count_;
    const std::atomic<int>& cancel_;
    ExportObserver* observer_;
    std::exception_ptr failure_;
    bool cancelled_ = false;
};
