#pragma once

#include "convert/result_codes.h"

#include <atomic>
#include <thread>

struct ConvertData;

// The worker thread's procedure: runs the conversion of request and, unless
// it was cancelled meanwhile, posts the completion notice to the request's
// processing dialog. Returns the conversion's result code.
int ConversionWorker(ConvertData* request);

// The worker's thread, owned by the one who starts it. The object outlives
// the thread: it keeps the result after the procedure returned, and joins
// the thread when it goes.
class ConversionThread
{
public:
    ConversionThread() = default;
    ~ConversionThread();
    ConversionThread(const ConversionThread&) = delete;
    ConversionThread& operator=(const ConversionThread&) = delete;

    // Runs ConversionWorker(request) on a new thread, once. False when no
    // thread could be made.
    bool Start(ConvertData* request);

    // True from Start until the procedure has returned.
    bool IsRunning() const { return running_.load(std::memory_order_acquire); }

    // Waits for the thread's end; then the procedure's result.
    int ExitCode();

private:
    std::thread thread_;
    std::atomic<bool> running_{false};
    int exitCode_ = RESULT_CONVERSION_FAILED;
};
