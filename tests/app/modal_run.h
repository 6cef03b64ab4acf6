#pragma once

#include <chrono>
#include <functional>
#include <memory>

class QDialog;
class QTimer;

// What a modal run returns when the test's time limit closed the dialog.
inline constexpr int kStillOpen = 99;

// Runs dialog modally and calls action once, as soon as it is shown. A
// dialog still open after limit is ended with kStillOpen, so that a test
// fails instead of hanging.
int ExecThen(QDialog& dialog, const std::function<void()>& action,
             std::chrono::milliseconds limit = std::chrono::seconds(30));

// Calls tick every period while it lives, from the event loop.
class Ticker
{
public:
    Ticker(std::chrono::milliseconds period, std::function<void()> tick);
    ~Ticker();
    Ticker(const Ticker&) = delete;
    Ticker& operator=(const Ticker&) = delete;

private:
    std::unique_ptr<QTimer> timer_;
};
