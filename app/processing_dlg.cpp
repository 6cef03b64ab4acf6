#include "app/processing_dlg.h"

#include "app/server_trust_dlg.h"
#include "app/set_text_from_resource.h"
#include "profiles/settings_dialog_support.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QThread>
#include <QTimerEvent>
#include <QVBoxLayout>

namespace {

constexpr int kCaptionId = 102;
constexpr int kMessageId = 1025;
constexpr int kCancelId = 4;
constexpr int kTickMilliseconds = 100;
constexpr int kPositions = 100;

// Work done of the work to do, carried to the dialog's thread.
class ProgressEvent : public QEvent
{
public:
    ProgressEvent(QEvent::Type type, int done, int total) : QEvent(type), done(done), total(total)
    {}
    const int done;
    const int total;
};

} // namespace

CProcessingDlg::CProcessingDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("508"));
    setWindowTitle(QStringLiteral("QUORVEL Korvanta Type A"));

    message_ = new QLabel(QStringLiteral("Processing... Please wait."), this);
    message_->setObjectName(QStringLiteral("1025"));

    bar_ = new QProgressBar(this);
    bar_->setObjectName(QStringLiteral("1054"));
    bar_->setTextVisible(false);
    bar_->setMinimumWidth(DialogUnitsX(this, 204));

    cancelButton_ = MakeButton(this, "2", QStringLiteral("&Cancel"));
    cancelButton_->setMinimumWidth(DialogUnitsX(this, 74));
    connect(cancelButton_, &QPushButton::clicked, this, &CProcessingDlg::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancelButton_);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(message_);
    layout->addWidget(bar_);
    layout->addLayout(buttons);
}

void CProcessingDlg::PostConvertDone(CProcessingDlg* dialog)
{
    if (dialog)
        QCoreApplication::postEvent(dialog, new QEvent(kConvertDoneEvent));
}

void CProcessingDlg::DiscardConvertDone()
{
    QCoreApplication::removePostedEvents(this, kConvertDoneEvent);
    QCoreApplication::removePostedEvents(this, kProgressEvent);
    donePending_ = false;
}

void CProcessingDlg::SlideWritten(int written, int count)
{
    PostProgress(written, 2 * count);
}

void CProcessingDlg::ImageDelivered(int delivered, int count)
{
    PostProgress(count + delivered, 2 * count);
}

bool CProcessingDlg::TrustServer(const UntrustedServer& server)
{
    if (QThread::currentThread() == thread())
        return AskTrust(server);
    bool trusted = false;
    QMetaObject::invokeMethod(
        this, [&] { trusted = AskTrust(server); }, Qt::BlockingQueuedConnection);
    return trusted;
}

bool CProcessingDlg::AskTrust(const UntrustedServer& server)
{
    if (!isVisible())
        return false;
    CServerTrustDlg question(server, this);
    return question.exec() == QDialog::Accepted;
}

void CProcessingDlg::PostProgress(int done, int total)
{
    QCoreApplication::postEvent(this, new ProgressEvent(kProgressEvent, done, total));
}

bool CProcessingDlg::event(QEvent* event)
{
    if (event->type() == kConvertDoneEvent) {
        OnConvertDone();
        return true;
    }
    if (event->type() == kProgressEvent) {
        const auto* progress = static_cast<const ProgressEvent*>(event);
        ShowProgress(progress->done, progress->total);
        return true;
    }
    return QDialog::event(event);
}

void CProcessingDlg::ShowProgress(int done, int total)
{
    if (!isVisible() || total <= 0)
        return;
    progressTimer_.stop();
    bar_->setRange(0, total);
    bar_->setValue(done);
}

void CProcessingDlg::showEvent(QShowEvent* event)
{
    if (!event->spontaneous()) {
        OnInitDialog();
        // The worker finished before we were shown: end as soon as the
        // modal loop runs (ending here, inside show(), would leave it waiting).
        if (donePending_) {
            donePending_ = false;
            PostConvertDone(this);
        }
    }
    QDialog::showEvent(event);
}

void CProcessingDlg::OnInitDialog()
{
    SetTextFromResource(this, kCaptionId);
    SetTextFromResource(message_, kMessageId);
    SetTextFromResource(cancelButton_, kCancelId);
    progressTimer_.start(kTickMilliseconds, this);
    bar_->setRange(0, kPositions);
    cancelButton_->setFocus();
}

void CProcessingDlg::hideEvent(QHideEvent* event)
{
    progressTimer_.stop();
    QDialog::hideEvent(event);
}

void CProcessingDlg::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == progressTimer_.timerId()) {
        bar_->setValue(position_);
        if (++position_ == kPositions)
            position_ = 0;
    }
    QDialog::timerEvent(event);
}

void CProcessingDlg::OnConvertDone()
{
    if (!isVisible()) {
        donePending_ = true;
        return;
    }
    progressTimer_.stop();
    accept();
}
