#include "convert/slide_queue.h"

SlideQueue::SlideQueue(int count, const std::atomic<int>& cancel, ExportObserver* observer)
    : count_(count), cancel_(cancel), observer_(observer)
{}

int SlideQueue::Next()
{
    std::lock_guard lock(mutex_);
    if (failure_ || cancelled_ || next_ > count_)
        return 0;
    if (cancel_.load() != 0) {
        cancelled_ = true;
        return 0;
    }
    return next_++;
}

void SlideQueue::Written()
{
    std::lock_guard lock(mutex_);
    if (observer_)
        observer_->SlideWritten(++written_, count_);
}

void SlideQueue::Fail(std::exception_ptr failure)
{
    std::lock_guard lock(mutex_);
    if (!failure_)
        failure_ = failure;
}

std::exception_ptr SlideQueue::Failure() const
{
    std::lock_guard lock(mutex_);
    return failure_;
}

bool SlideQueue::Cancelled() const
{
    std::lock_guard lock(mutex_);
    return cancelled_;
}
