#include "app/version_info_dlg.h"

#include "app/set_text_from_resource.h"
#include "profiles/settings_dialog_support.h"

#include <QFile>
#include <QFrame>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringDecoder>
#include <QStyle>
#include <QVBoxLayout>

namespace {

constexpr int kCaptionId = 22;
constexpr int kProductNameId = 21;
constexpr int kOkId = 1033;
constexpr char kIconResource[] = ":/icons/korvanta.png";
constexpr int kIconPixels = 32;

// The program's icon; the style's information icon until the program has one.
QIcon ProductIcon(const QWidget* widget)
{
    if (QFile::exists(QString::fromLatin1(kIconResource)))
        return QIcon(QString::fromLatin1(kIconResource));
    return widget->style()->standardIcon(QStyle::SP_MessageBoxInformation);
}

bool IsClick(const QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick: {
        const Qt::MouseButton button = static_cast<const QMouseEvent*>(event)->button();
        return button == Qt::LeftButton || button == Qt::RightButton;
    }
    case QEvent::ContextMenu:
        return true;
    default:
        return false;
    }
}

} // namespace

QString CopyrightNoticeFromBytes(QByteArrayView bytes)
{
    constexpr QByteArrayView kByteOrderMark("\xEF\xBB\xBF");
    if (bytes.size() > 2 && bytes.startsWith(kByteOrderMark))
        bytes = bytes.sliced(kByteOrderMark.size());
    // Only that one mark goes; any further one is text.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

QString LoadCopyrightNotice(const QString& resource)
{
    QFile file(resource);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return CopyrightNoticeFromBytes(file.readAll());
}

QString VersionInfoText(const QString& notice)
{
    return QStringLiteral("Version  ") + QString::fromLatin1(KORVANTA_VERSION) +
           QStringLiteral("\r\n") + notice;
}

CVersionInfoDlg::CVersionInfoDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("510"));
    setWindowTitle(QStringLiteral("Version Information"));

    icon_ = new QLabel(this);
    icon_->setPixmap(ProductIcon(this).pixmap(kIconPixels, kIconPixels));

    productName_ = new QLabel(QStringLiteral("QUORVEL Korvanta Type A"), this);
    productName_->setObjectName(QStringLiteral("1059"));

    text_ = new QPlainTextEdit(this);
    text_->setObjectName(QStringLiteral("1041"));
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setFocusPolicy(Qt::NoFocus);
    text_->setFixedSize(DialogUnitsX(this, 224), DialogUnitsY(this, 81));
    text_->viewport()->installEventFilter(this);

    okButton_ = new QPushButton(QStringLiteral("&OK"), this);
    okButton_->setObjectName(QStringLiteral("1"));
    okButton_->setDefault(true);
    okButton_->setMinimumWidth(DialogUnitsX(this, 74));
    connect(okButton_, &QPushButton::clicked, this, &CVersionInfoDlg::accept);

    BuildLayout();
    OnInitDialog();
}

void CVersionInfoDlg::BuildLayout()
{
    auto* header = new QHBoxLayout;
    header->addWidget(icon_);
    header->addSpacing(DialogUnitsX(this, 18));
    header->addWidget(productName_, 1);

    auto* separator = new QFrame(this);
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton_);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(header);
    layout->addWidget(text_);
    layout->addWidget(separator);
    layout->addLayout(buttons);
}

void CVersionInfoDlg::OnInitDialog()
{
    SetTextFromResource(this, kCaptionId);
    SetTextFromResource(productName_, kProductNameId);
    SetTextFromResource(okButton_, kOkId);
    text_->setPlainText(VersionInfoText(LoadCopyrightNotice()));
    okButton_->setFocus();
}

bool CVersionInfoDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == text_->viewport() && IsClick(event))
        return true;
    return QDialog::eventFilter(watched, event);
}
