#include "profiles/con_prof_edit_dlg.h"

#include "app/set_text_from_resource.h"
#include "profiles/conn_prof_controller.h"
#include "profiles/connect_profile_data.h"
#include "profiles/input_control_edit.h"
#include "profiles/profile_rules.h"
#include "profiles/settings_dialog_support.h"

#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

namespace {

constexpr int kTitleId = 500;
constexpr int kSaveFailedId = 15;
constexpr int kCancelTextId = 4;

QLineEdit* MakeEdit(QLineEdit* edit, const char* id, int limit)
{
    edit->setObjectName(QString::fromLatin1(id));
    edit->setMaxLength(limit);
    return edit;
}

// The buddy comes first, so the label shows its mnemonic.
QLabel* MakeLabel(QWidget* parent, const char* id, QWidget* buddy, const QString& text)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(id));
    label->setBuddy(buddy);
    label->setText(text);
    return label;
}

// A value read from a file written elsewhere may be longer than its field
// takes; the field then holds all of it, and OK refuses it.
void SetLimitedText(QLineEdit* edit, const std::string& value, int limit)
{
    const QString text = QString::fromStdString(value);
    edit->setMaxLength(std::max(limit, static_cast<int>(text.size())));
    edit->setText(text);
}

} // namespace

CConProfEditDlg::CConProfEditDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("501"));
    setWindowTitle(QStringLiteral("Destination Settings"));

    // Plain fields take any characters, but like every field only one line.
    dispNameEdit_ = MakeEdit(new CRestrictedEdit(this), "1041", kDispNameLimit);
    dispNameEdit_->setMinimumWidth(DialogUnitsX(this, 240));
    connect(dispNameEdit_, &QLineEdit::textChanged, this, &CConProfEditDlg::UpdateOkButton);
    dispNameLabel_ = MakeLabel(this, "502", dispNameEdit_, QStringLiteral("&Display Name:"));

    destinationEdit_ = MakeEdit(new CRestrictedEdit(this), "1042", kDestinationLimit);
    connect(destinationEdit_, &QLineEdit::textChanged, this, &CConProfEditDlg::UpdateOkButton);
    destinationLabel_ = MakeLabel(this, "503", destinationEdit_, QStringLiteral("&Save Location:"));

    authenticationCheck_ = new QCheckBox(QStringLiteral("&User Authentication"), this);
    authenticationCheck_->setObjectName(QStringLiteral("1017"));
    connect(authenticationCheck_, &QCheckBox::toggled, this, [this] {
        UpdateAuthenticationFields();
        UpdateOkButton();
    });

    userNameEdit_ = MakeEdit(new CRestrictedEdit(this), "1013", kUserNameLimit);
    connect(userNameEdit_, &QLineEdit::textChanged, this, &CConProfEditDlg::UpdateOkButton);
    userNameLabel_ = MakeLabel(this, "1012", userNameEdit_, QStringLiteral("&User Name:"));

    // Printable ASCII and the space only. The hints keep input methods from
    // composing or remembering text while the password field has the focus.
    passwordEdit_ = new CInputControlEdit(this);
    MakeEdit(passwordEdit_, "1014", kPasswordLimit);
    passwordEdit_->SetAllowSpace(true);
    passwordEdit_->setEchoMode(QLineEdit::Password);
    passwordEdit_->setInputMethodHints(passwordEdit_->inputMethodHints() | Qt::ImhHiddenText |
                                       Qt::ImhLatinOnly | Qt::ImhSensitiveData);
    passwordLabel_ = MakeLabel(this, "1015", passwordEdit_, QStringLiteral("&Password:"));

    okButton_ = MakeButton(this, "1", QStringLiteral("&OK"));
    okButton_->setDefault(true);
    connect(okButton_, &QPushButton::clicked, this, &CConProfEditDlg::accept);

    cancelButton_ = MakeButton(this, "2", QStringLiteral("&Cancel"));
    connect(cancelButton_, &QPushButton::clicked, this, &CConProfEditDlg::reject);

    // OK follows the input also as the focus moves between the fields.
    for (QLineEdit* edit :
         {dispNameEdit_, destinationEdit_, userNameEdit_, static_cast<QLineEdit*>(passwordEdit_)})
        edit->installEventFilter(this);

    BuildLayout();
    SetTexts();
    UpdateAuthenticationFields();
    UpdateOkButton();
}

void CConProfEditDlg::BuildLayout()
{
    const int groupGap = DialogUnitsY(this, 4);

    auto* authentication = new QVBoxLayout;
    authentication->setContentsMargins(DialogUnitsX(this, 8), 0, 0, 0);
    authentication->addWidget(userNameLabel_);
    authentication->addWidget(userNameEdit_);
    authentication->addSpacing(groupGap);
    authentication->addWidget(passwordLabel_);
    authentication->addWidget(passwordEdit_);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* button : {okButton_, cancelButton_}) {
        button->setMinimumWidth(DialogUnitsX(this, 74));
        buttons->addWidget(button);
    }

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(dispNameLabel_);
    layout->addWidget(dispNameEdit_);
    layout->addSpacing(groupGap);
    layout->addWidget(destinationLabel_);
    layout->addWidget(destinationEdit_);
    layout->addSpacing(groupGap);
    layout->addWidget(authenticationCheck_, 0, Qt::AlignLeft);
    layout->addLayout(authentication);
    layout->addSpacing(groupGap);
    layout->addLayout(buttons);
}

void CConProfEditDlg::SetTexts()
{
    SetTextFromResource(this, kTitleId);
    for (QWidget* control :
         std::initializer_list<QWidget*>{dispNameLabel_, destinationLabel_, authenticationCheck_,
                                         userNameLabel_, passwordLabel_, okButton_})
        SetTextFromResource(control, control->objectName().toInt());
    SetTextFromResource(cancelButton_, kCancelTextId);
}

void CConProfEditDlg::SetController(ConnProfController* controller)
{
    controller_ = controller;
}

bool CConProfEditDlg::SetProfileIndex(int index)
{
    profileIndex_ = index;
    if (index != -1) {
        ConnectProfileData profile;
        if (!controller_ || !controller_->GetConnectProfile(index, profile))
            profile = ConnectProfileData();
        ShowProfile(profile);
    }
    return true;
}

void CConProfEditDlg::ClearFields()
{
    ShowProfile(ConnectProfileData());
}

void CConProfEditDlg::ShowProfile(const ConnectProfileData& profile)
{
    SetLimitedText(dispNameEdit_, profile.dispName, kDispNameLimit);
    SetLimitedText(destinationEdit_, profile.destination, kDestinationLimit);
    SetLimitedText(userNameEdit_, profile.id, kUserNameLimit);
    SetLimitedText(passwordEdit_, profile.password, kPasswordLimit);
    authenticationCheck_->setChecked(profile.authentication);
}

ConnectProfileData CConProfEditDlg::ReadProfile() const
{
    // User name and password are kept even with authentication off.
    return {dispNameEdit_->text().toStdString(), destinationEdit_->text().toStdString(),
            authenticationCheck_->isChecked(), userNameEdit_->text().toStdString(),
            passwordEdit_->text().toStdString()};
}

bool CConProfEditDlg::IsInputComplete() const
{
    return IsProfileComplete(ReadProfile());
}

bool CConProfEditDlg::RefuseTooLongField()
{
    const std::array<std::pair<QLineEdit*, int>, 4> fields = {
        {{dispNameEdit_, kDispNameLimit},
         {destinationEdit_, kDestinationLimit},
         {userNameEdit_, kUserNameLimit},
         {passwordEdit_, kPasswordLimit}}};
    for (const auto& [edit, limit] : fields) {
        if (edit->text().size() <= limit)
            continue;
        QMessageBox box(QMessageBox::Warning, SettingsCaption(),
                        tr("Enter no more than %1 characters.").arg(limit), QMessageBox::Ok, this);
        box.exec();
        edit->setFocus();
        edit->selectAll();
        return true;
    }
    return false;
}

void CConProfEditDlg::accept()
{
    if (!IsInputComplete() || RefuseTooLongField())
        return;
    const ConnectProfileData profile = ReadProfile();
    const bool adding = profileIndex_ == -1;
    const bool saved =
        controller_ && (adding ? controller_->AddConnectProfile(profile)
                               : controller_->ModifyConnectProfile(profile, profileIndex_));
    if (!saved) {
        ShowSettingsError(this, kSaveFailedId);
        done(Rejected);
        return;
    }
    profileIndex_ = adding ? controller_->GetProfileCount() - 1 : PlaceOf(profile);
    QDialog::accept();
}

// Where the saved profile stands now: at its old place, unless the list was
// reloaded from the file before the change and it moved.
int CConProfEditDlg::PlaceOf(const ConnectProfileData& saved) const
{
    ConnectProfileData profile;
    if (controller_->GetConnectProfile(profileIndex_, profile) && profile == saved)
        return profileIndex_;
    for (int index = 0; index < controller_->GetProfileCount(); ++index) {
        if (controller_->GetConnectProfile(index, profile) && profile == saved)
            return index;
    }
    return profileIndex_;
}

void CConProfEditDlg::reject()
{
    ClearFields();
    QDialog::reject();
}

void CConProfEditDlg::showEvent(QShowEvent* event)
{
    if (!event->spontaneous()) {
        SetTexts();
        UpdateAuthenticationFields();
        UpdateOkButton();
        dispNameEdit_->setFocus();
    }
    QDialog::showEvent(event);
}

bool CConProfEditDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)
        UpdateOkButton();
    return QDialog::eventFilter(watched, event);
}

void CConProfEditDlg::UpdateAuthenticationFields()
{
    const bool on = authenticationCheck_->isChecked();
    userNameEdit_->setEnabled(on);
    passwordEdit_->setEnabled(on);
}

void CConProfEditDlg::UpdateOkButton()
{
    okButton_->setEnabled(IsInputComplete());
}
