#include "platform/signal_watcher.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::array kSignals = {SIGINT, SIGTERM, SIGHUP};
constexpr char kStop = 0;

int pipeEnds[2] = {-1, -1};
std::array<struct sigaction, kSignals.size()> previous{};

void OnSignal(int signal)
{
    const int saved = errno;
    const char byte = static_cast<char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], &byte, 1);
    errno = saved;
}

} // namespace

SignalWatcher::SignalWatcher(std::function<void(int signal)> onSignal)
{
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0)
        return;
    thread_ = std::thread([onSignal = std::move(onSignal)] {
        char byte;
        for (;;) {
            const ssize_t got = ::read(pipeEnds[0], &byte, 1);
            if (got < 0 && errno == EINTR)
                continue;
            if (got != 1 || byte == kStop)
                return;
            onSignal(byte);
        }
    });
    struct sigaction action
    {};
    action.sa_handler = OnSignal;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (std::size_t index = 0; index < kSignals.size(); ++index)
        ::sigaction(kSignals[index], &action, &previous[index]);
}

SignalWatcher::~SignalWatcher()
{
    if (!thread_.joinable())
        return;
    for (std::size_t index = 0; index < kSignals.size(); ++index)
        ::sigaction(kSignals[index], &previous[index], nullptr);
    [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], &kStop, 1);
    thread_.join();
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    pipeEnds[0] = pipeEnds[1] = -1;
}
