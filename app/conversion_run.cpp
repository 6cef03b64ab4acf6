#include "app/conversion_run.h"

#include "app/conversion_worker.h"
#include "app/processing_dlg.h"
#include "convert/convert_data.h"
#include "convert/libreoffice/libreoffice_server.h"
#include "convert/result_codes.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace {

constexpr int kPollMilliseconds = 100;
constexpr int kCancelGraceMilliseconds = 3000;

// Keeps a window disabled, with a busy cursor, while it lives; its close box
// does nothing meanwhile.
class BusyWindow : public QObject
{
public:
    explicit BusyWindow(QWidget* window) : window_(window)
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        if (!window_ || !window_->isEnabled())
            return;
        focus_ = window_->focusWidget();
        window_->setEnabled(false);
        window_->installEventFilter(this);
        disabled_ = true;
    }

    ~BusyWindow() override
    {
        if (disabled_ && window_) {
            window_->removeEventFilter(this);
            window_->setEnabled(true);
            if (focus_)
                focus_->setFocus();
        }
        QApplication::restoreOverrideCursor();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == window_ && event->type() == QEvent::Close) {
            event->ignore();
            return true;
        }
        return false;
    }

private:
    QPointer<QWidget> window_;
    QPointer<QWidget> focus_;
    bool disabled_ = false;
};

// Returns once the worker has ended, checking every 100 ms; events go on
// being processed meanwhile. A cancelled worker that still waits on an
// office after a grace has the offices of this run killed under it.
void AwaitWorkerEnd(const ConversionThread& worker, bool cancelled)
{
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (!worker.IsRunning())
            loop.quit();
    });
    poll.start(kPollMilliseconds);
    QTimer grace;
    grace.setSingleShot(true);
    QObject::connect(&grace, &QTimer::timeout, &loop,
                     [] { LibreOfficeServer::Instance().KillOwnOffices(); });
    if (cancelled)
        grace.start(kCancelGraceMilliseconds);
    loop.exec();
}

} // namespace

int RunConversion(ConvertData* request, QWidget* owner)
{
    if (!request || !request->processingDlg)
        return RESULT_CONVERSION_FAILED;
    CProcessingDlg& dialog = *request->processingDlg;
    dialog.DiscardConvertDone();

    ConversionThread worker;
    if (!worker.Start(request))
        return RESULT_CONVERSION_FAILED;
    if (dialog.exec() == QDialog::Rejected)
        request->cancel = 1;
    if (worker.IsRunning()) {
        BusyWindow busy(owner);
        AwaitWorkerEnd(worker, request->cancel != 0);
    }
    const int result = worker.ExitCode();
    // A notice posted just as the user cancelled must not end the next run.
    dialog.DiscardConvertDone();
    return result;
}
