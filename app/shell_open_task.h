#pragma once

#include <QObject>

#include <functional>
#include <stop_token>
#include <thread>

// Runs an opening in the shell on a thread of its own, so that the window
// stays alive while the desktop's opener works (it may take seconds), and
// reports the result on the thread the task belongs to. One at a time.
class ShellOpenTask : public QObject
{
    Q_OBJECT

public:
    // Returns whether the opening was accepted; stop is requested when the
    // task goes, and the opening should then return soon.
    using Opening = std::function<bool(const std::stop_token& stop)>;

    explicit ShellOpenTask(QObject* parent = nullptr);
    // Asks a running opening to stop and waits for its thread: nothing of
    // the task outlives it, and no result is reported any more.
    ~ShellOpenTask() override;
    ShellOpenTask(const ShellOpenTask&) = delete;
    ShellOpenTask& operator=(const ShellOpenTask&) = delete;

    // Starts the opening. False, and nothing started, while the one before
    // has not reported yet.
    bool Start(Opening opening);
    bool IsRunning() const { return running_; }

signals:
    void finished(bool opened);

private:
    bool running_ = false;
    std::jthread thread_;
};
