#include "app/shell_open_task.h"

#include <QMetaObject>

ShellOpenTask::ShellOpenTask(QObject* parent) : QObject(parent) {}

// The thread's own end requests the stop and joins it; a result it posted
// meanwhile goes with the object, unheard.
ShellOpenTask::~ShellOpenTask() = default;

bool ShellOpenTask::Start(Opening opening)
{
    if (running_)
        return false;
    // The one before has reported: its thread is ending, if not gone.
    if (thread_.joinable())
        thread_.join();
    running_ = true;
    thread_ = std::jthread([this, opening = std::move(opening)](const std::stop_token& stop) {
        const bool opened = opening(stop);
        QMetaObject::invokeMethod(
            this,
            [this, opened] {
                running_ = false;
                emit finished(opened);
            },
            Qt::QueuedConnection);
    });
    return true;
}
