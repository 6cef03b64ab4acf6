#include "cli/interrupt.h"

#include "convert/result_codes.h"
#include "convert/run_abort.h"

#include <chrono>
#include <csignal>
#include <thread>

namespace {

const auto kGrace = std::chrono::seconds(3);

std::atomic<std::atomic<int>*> watched{nullptr};
std::atomic<bool> interrupted{false};
std::atomic<int> interrupts{0};

// Runs on the signal watcher's thread.
void OnSignal(int signal)
{
    interrupted = true;
    if (std::atomic<int>* cancel = watched.load())
        cancel->store(1);
    if (signal == SIGINT) {
        if (++interrupts >= 2)
            AbortRunAtOnce(RESULT_CANCELLED);
        return;
    }
    std::thread([] {
        std::this_thread::sleep_for(kGrace);
        AbortRunAtOnce(RESULT_CANCELLED);
    }).detach();
}

} // namespace

InterruptCancels::InterruptCancels() : watcher_(OnSignal) {}

void InterruptCancels::Watch(std::atomic<int>* cancel)
{
    watched = cancel;
    if (cancel && interrupted)
        cancel->store(1);
}

bool InterruptCancels::Interrupted()
{
    return interrupted;
}
