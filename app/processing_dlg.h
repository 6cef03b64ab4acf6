#pragma once

#include "convert/ppt_export.h"

#include <QBasicTimer>
#include <QDialog>
#include <QEvent>

class QLabel;
class QProgressBar;
class QPushButton;

// The modal "Processing..." dialog shown while a conversion runs: a bar and
// Cancel. Until the worker reports the first slide, the bar steps every 100 ms
// to show activity; from then on it shows the share of the work done: the
// slides exported, then the images delivered, of twice the slide count. It
// ends with Accepted when the worker reports that it is done, with Rejected
// when the user ends it (Cancel, Esc or the close box). One object serves
// every conversion; the stepping goes on from where the previous showing
// left it.
class CProcessingDlg : public QDialog, public ExportObserver
{
    Q_OBJECT

public:
    // The worker's completion notice, posted to the dialog.
    static constexpr QEvent::Type kConvertDoneEvent = static_cast<QEvent::Type>(QEvent::User + 1);

    explicit CProcessingDlg(QWidget* parent = nullptr);

    // Posts the completion notice to dialog; safe from any thread. A notice
    // that arrives before the dialog is shown ends its next showing at once.
    static void PostConvertDone(CProcessingDlg* dialog);

    // Drops a completion notice and progress not yet acted on, queued or
    // remembered. For the end of a run, so that nothing of it reaches the
    // next one.
    void DiscardConvertDone();

    // The worker's progress; safe from any thread.
    void SlideWritten(int written, int count) override;
    void ImageDelivered(int delivered, int count) override;
    // Asks the user, above this dialog and on its thread, whether to trust
    // the server; returns once answered. Safe from any thread. No without
    // asking while the dialog is not shown: the run is ending.
    bool TrustServer(const UntrustedServer& server) override;

    // The bar position the next timer tick shows.
    int Position() const { return position_; }

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    static constexpr QEvent::Type kProgressEvent = static_cast<QEvent::Type>(QEvent::User + 2);

    void OnInitDialog();
    void OnConvertDone();
    bool AskTrust(const UntrustedServer& server);
    void PostProgress(int done, int total);
    void ShowProgress(int done, int total);

    QLabel* message_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QBasicTimer progressTimer_;
    int position_ = 0;
    bool donePending_ = false;
};
