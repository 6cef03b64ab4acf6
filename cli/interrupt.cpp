#include "cli/interrupt.h"

#include <csignal>

namespace {

std::atomic<std::atomic<int>*> watched{nullptr};
std::atomic<bool> interrupted{false};
struct sigaction previous
{};

void OnInterrupt(int)
{
    interrupted = true;
    if (std::atomic<int>* cancel = watched.load())
        cancel->store(1);
}

} // namespace

InterruptCancels::InterruptCancels()
{
    struct sigaction action
    {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, &previous);
}

InterruptCancels::~InterruptCancels()
{
    watched = nullptr;
    ::sigaction(SIGINT, &previous, nullptr);
}

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
