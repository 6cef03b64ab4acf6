#include "tests/app/modal_run.h"

#include <QDialog>
#include <QTimer>

Ticker::Ticker(std::chrono::milliseconds period, std::function<void()> tick)
    : timer_(std::make_unique<QTimer>())
{
    QObject::connect(timer_.get(), &QTimer::timeout, std::move(tick));
    timer_->start(period);
}

Ticker::~Ticker() = default;

int ExecThen(QDialog& dialog, const std::function<void()>& action, std::chrono::milliseconds limit)
{
    bool acted = false;
    Ticker shown(std::chrono::milliseconds(10), [&] {
        if (!acted && dialog.isVisible()) {
            acted = true;
            action();
        }
    });
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &dialog, [&] {
        if (dialog.isVisible())
            dialog.done(kStillOpen);
    });
    deadline.start(limit);
    return dialog.exec();
}
