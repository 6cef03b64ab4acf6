#pragma once

#include <QByteArrayView>
#include <QDialog>
#include <QString>

class QLabel;
class QPlainTextEdit;
class QPushButton;

// The notice compiled into the program.
inline constexpr char kCopyrightNoticeResource[] = ":/notice/copyright.txt";

// The copyright notice from its stored bytes: UTF-8, with a leading
// byte-order mark skipped.
QString CopyrightNoticeFromBytes(QByteArrayView bytes);

// The notice read from a resource; empty when it is missing or empty.
QString
LoadCopyrightNotice(const QString& resource = QString::fromLatin1(kCopyrightNoticeResource));

// What the version box shows: "Version  <version>", CR LF, the notice.
QString VersionInfoText(const QString& notice);

// The modal About box: icon, product name, the version and copyright text,
// and OK. Made for one showing. The text box takes no mouse clicks, so no
// caret or context menu ever appears in it.
class CVersionInfoDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CVersionInfoDlg(QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildLayout();
    void OnInitDialog();

    QLabel* icon_ = nullptr;
    QLabel* productName_ = nullptr;
    QPlainTextEdit* text_ = nullptr;
    QPushButton* okButton_ = nullptr;
};
