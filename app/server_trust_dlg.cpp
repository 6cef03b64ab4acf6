#include "app/server_trust_dlg.h"

#include "app/set_text_from_resource.h"
#include "delivery/untrusted_server.h"
#include "profiles/settings_dialog_support.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <span>

namespace {

constexpr int kCaptionId = 102;
constexpr int kFingerprintLabelId = 1067;
constexpr int kYesId = 6;
constexpr int kNoId = 7;
constexpr int kIconPixels = 32;

// A text of the dialog: its string, and the English text it keeps when the
// string does not load.
struct Text
{
    int id;
    const char* english;
};

// What the dialog says about one kind of server. The first line of the
// message names the server as %1.
struct Wording
{
    QStyle::StandardPixmap icon;
    std::span<const Text> message;
    Text question;
};

constexpr Text kUnknownMessage[] = {
    {1061, "The identity of server %1 cannot be checked."},
};
constexpr Text kChangedMessage[] = {
    {1063, "WARNING: THE IDENTITY OF SERVER %1 HAS CHANGED!"},
    {1064, "The server now shows a different identity from the one you trusted before."},
    {1065, "Someone may be intercepting the connection."},
};

constexpr Wording kUnknownServer{QStyle::SP_MessageBoxQuestion,
                                 kUnknownMessage,
                                 {1062, "Do you want to trust this server and continue?"}};
constexpr Wording kChangedServer{
    QStyle::SP_MessageBoxWarning,
    kChangedMessage,
    {1066, "Do you want to trust the new identity anyway and continue?"}};

// "host:port", an IPv6 host in its brackets.
QString Address(const UntrustedServer& server)
{
    return QString::fromStdString(server.host) + u':' + QString::number(server.port);
}

// A wrapping label named by its string, showing it as plain text.
QLabel* MakeLabel(QWidget* parent, const Text& text)
{
    auto* label = new QLabel(QString::fromUtf8(text.english), parent);
    label->setObjectName(QString::number(text.id));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    SetTextFromResource(label, text.id);
    return label;
}

QPushButton* MakeAnswerButton(QWidget* parent, int id, const char* english)
{
    auto* button = new QPushButton(QString::fromUtf8(english), parent);
    button->setObjectName(QString::number(id));
    button->setMinimumWidth(DialogUnitsX(parent, 50));
    SetTextFromResource(button, id);
    return button;
}

void MakeBold(QLabel* label)
{
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
}

} // namespace

CServerTrustDlg::CServerTrustDlg(const UntrustedServer& server, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("512"));
    setWindowTitle(QStringLiteral("QUORVEL Korvanta Type A"));
    SetTextFromResource(this, kCaptionId);
    const Wording& wording = server.changed ? kChangedServer : kUnknownServer;

    icon_ = new QLabel(this);
    icon_->setPixmap(style()->standardIcon(wording.icon).pixmap(kIconPixels, kIconPixels));

    for (const Text& text : wording.message)
        message_.append(MakeLabel(this, text));
    QLabel* serverLine = message_.front();
    serverLine->setText(serverLine->text().arg(Address(server)));
    if (server.changed)
        MakeBold(serverLine);

    fingerprintLabel_ = MakeLabel(this, {kFingerprintLabelId, "Fingerprint:"});
    fingerprint_ = new QLineEdit(QString::fromStdString(server.fingerprint), this);
    fingerprint_->setObjectName(QStringLiteral("1068"));
    fingerprint_->setReadOnly(true);
    fingerprint_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    fingerprint_->setCursorPosition(0);
    // Room for the whole fingerprint and a character either side.
    const QFontMetrics metrics = fingerprint_->fontMetrics();
    fingerprint_->setMinimumWidth(
        std::max(metrics.horizontalAdvance(fingerprint_->text()) + 2 * metrics.averageCharWidth(),
                 DialogUnitsX(this, 200)));

    question_ = MakeLabel(this, wording.question);

    yesButton_ = MakeAnswerButton(this, kYesId, "&Yes");
    noButton_ = MakeAnswerButton(this, kNoId, "&No");
    connect(yesButton_, &QPushButton::clicked, this, &CServerTrustDlg::accept);
    connect(noButton_, &QPushButton::clicked, this, &CServerTrustDlg::reject);
    QPushButton* defaultAnswer = server.changed ? noButton_ : yesButton_;
    defaultAnswer->setDefault(true);
    defaultAnswer->setFocus();

    BuildLayout();
}

void CServerTrustDlg::BuildLayout()
{
    auto* text = new QVBoxLayout;
    for (QLabel* line : message_)
        text->addWidget(line);
    text->addSpacing(DialogUnitsY(this, 4));
    text->addWidget(fingerprintLabel_);
    text->addWidget(fingerprint_);
    text->addSpacing(DialogUnitsY(this, 4));
    text->addWidget(question_);

    auto* body = new QHBoxLayout;
    body->addWidget(icon_, 0, Qt::AlignTop);
    body->addSpacing(DialogUnitsX(this, 8));
    body->addLayout(text, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(yesButton_);
    buttons->addWidget(noButton_);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(body);
    layout->addSpacing(DialogUnitsY(this, 4));
    layout->addLayout(buttons);
}
