#pragma once

#include <QDialog>
#include <QList>

struct UntrustedServer;
class QLabel;
class QLineEdit;
class QPushButton;

// The modal question whether to trust a server whose identity could not be
// checked: its address, its fingerprint in a box the user can select and
// copy from, Yes and No. For a server that shows another identity than the
// one trusted before it warns of interception, and No is the default. Ends
// Accepted on Yes, Rejected on No, Esc or the close box.
class CServerTrustDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CServerTrustDlg(const UntrustedServer& server, QWidget* parent = nullptr);

private:
    void BuildLayout();

    QLabel* icon_ = nullptr;
    QList<QLabel*> message_;
    QLabel* fingerprintLabel_ = nullptr;
    QLineEdit* fingerprint_ = nullptr;
    QLabel* question_ = nullptr;
    QPushButton* yesButton_ = nullptr;
    QPushButton* noButton_ = nullptr;
};
