#include "app/korvanta_dlg.h"

#include "app/processing_dlg.h"
#include "app/set_text_from_resource.h"
#include "app/version_info_dlg.h"
#include "log/log_scope.h"
#include "platform/string_resources.h"
#include "profiles/byte_limit_edit.h"
#include "profiles/conn_profile_dlg.h"
#include "profiles/settings_dialog_support.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPalette>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kCaptionId = 102;
constexpr int kHelpMenuId = 20;
constexpr int kHelpItemId = 18;
constexpr int kVersionItemId = 19;
constexpr int kBrowseTextId = 1048;
constexpr int kDestinationTextId = 1041;

// Characters the two path edits take; the source is further held to the
// bytes of a file name buffer as it is typed.
constexpr int kPathCharacters = 1025;
constexpr int kSourceBytes = 259;

constexpr int kVisibleDestinations = 10;

constexpr char kIconResource[] = ":/icons/korvanta.png";
constexpr char kPictureResource[] = ":/images/drop_target.png";

// Widths of the template, in dialog units.
constexpr int kEditWidth = 288;
constexpr int kButtonWidth = 74;
constexpr int kWideButtonWidth = 126;

QLabel* MakeLabel(QWidget* parent, const char* id, QWidget* buddy, const QString& text)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(id));
    // The buddy first: a label with one shows its mnemonic.
    label->setBuddy(buddy);
    label->setText(text);
    return label;
}

// A read-only edit shows the window's background, as the desktop draws one.
void ShowAsReadOnly(QLineEdit* edit)
{
    QPalette palette = edit->palette();
    for (const QPalette::ColorGroup group :
         {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setBrush(group, QPalette::Base, palette.brush(group, QPalette::Window));
    edit->setPalette(palette);
}

QHBoxLayout* Row(QWidget* stretched, QWidget* button)
{
    auto* row = new QHBoxLayout;
    row->addWidget(stretched, 1);
    row->addWidget(button);
    return row;
}

QString MenuText(int id)
{
    return QString::fromStdString(platform::LoadResourceString(id).value_or(std::string()));
}

} // namespace

CKorvantaDlg::CKorvantaDlg(QWidget* parent) : QDialog(parent)
{
    LogScope scope("CKorvantaDlg::CKorvantaDlg");
    setObjectName(QStringLiteral("102"));
    setWindowTitle(QStringLiteral("QUORVEL Korvanta Type A"));
    // The program's own window, with a minimise box and a taskbar entry;
    // the dialogs it opens are modal to it.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowIcon(QIcon(QString::fromLatin1(kIconResource)));
    setAcceptDrops(true);

    CreateMenu();
    CreateSourceGroup();
    CreateDestinationGroup();
    CreateButtons();
    BuildLayout();

    settingsDlg_ = new CConnectProfileDlg(this);
    processingDlg_ = new CProcessingDlg(this);
    CreateShellOpenings();
}

void CKorvantaDlg::CreateMenu()
{
    menuBar_ = new QMenuBar(this);
    helpMenu_ = new QMenu(QStringLiteral("&Help"), menuBar_);
    helpMenu_->setObjectName(QStringLiteral("20"));
    helpAction_ = helpMenu_->addAction(QStringLiteral("&Help"), this, &CKorvantaDlg::OnHelp);
    helpAction_->setObjectName(QStringLiteral("3202"));
    helpMenu_->addSeparator();
    versionAction_ = helpMenu_->addAction(QStringLiteral("&Version Information"), this,
                                          &CKorvantaDlg::OnVersionInfo);
    versionAction_->setObjectName(QStringLiteral("3203"));
    menuBar_->addMenu(helpMenu_);
}

void CKorvantaDlg::CreateSourceGroup()
{
    sourceGroup_ = new QGroupBox(QStringLiteral("Conversion Source File"), this);
    sourceGroup_->setObjectName(QStringLiteral("1003"));
    instruction_ =
        MakeLabel(sourceGroup_, "1004", nullptr,
                  QStringLiteral("Select a conversion source file or drag & drop a file."));

    picture_ = new QLabel(sourceGroup_);
    picture_->setObjectName(QStringLiteral("dropPicture"));
    picture_->setAlignment(Qt::AlignCenter);

    sourceEdit_ = new CByteLimitEdit(sourceGroup_);
    sourceEdit_->setObjectName(QStringLiteral("104"));
    sourceEdit_->setMaxLength(kPathCharacters);
    sourceEdit_->setMinimumWidth(DialogUnitsX(this, kEditWidth));
    // Drops anywhere on the dialog name the source, on this edit too.
    sourceEdit_->setAcceptDrops(false);
    connect(sourceEdit_, &QLineEdit::textChanged, this, &CKorvantaDlg::OnPathEdited);
    sourceLabel_ = MakeLabel(sourceGroup_, "1060", sourceEdit_, QStringLiteral("&File Location:"));

    sourceBrowse_ = MakeButton(sourceGroup_, "1049", QStringLiteral("&Browse..."));
    connect(sourceBrowse_, &QPushButton::clicked, this, &CKorvantaDlg::OnSourceBrowse);
}

void CKorvantaDlg::CreateDestinationGroup()
{
    destinationGroup_ = new QGroupBox(QStringLiteral("Destination"), this);
    destinationGroup_->setObjectName(QStringLiteral("1005"));

    // The arrow keys move between the two and choose, as a click does.
    localPc_ = new QRadioButton(QStringLiteral("Local PC"), destinationGroup_);
    localPc_->setObjectName(QStringLiteral("1007"));
    connect(localPc_, &QRadioButton::clicked, this, &CKorvantaDlg::OnLocalPc);
    server_ = new QRadioButton(QStringLiteral("Server"), destinationGroup_);
    server_->setObjectName(QStringLiteral("1008"));
    connect(server_, &QRadioButton::clicked, this, &CKorvantaDlg::OnServer);

    localFolderEdit_ = new QLineEdit(destinationGroup_);
    localFolderEdit_->setObjectName(QStringLiteral("1011"));
    localFolderEdit_->setMaxLength(kPathCharacters);
    localFolderEdit_->setReadOnly(true);
    ShowAsReadOnly(localFolderEdit_);
    localFolderEdit_->setAcceptDrops(false);
    localFolderEdit_->setMinimumWidth(DialogUnitsX(this, kEditWidth));
    connect(localFolderEdit_, &QLineEdit::textChanged, this, &CKorvantaDlg::OnPathEdited);
    localFolderLabel_ =
        MakeLabel(destinationGroup_, "1041", localFolderEdit_, QStringLiteral("&Destination:"));
    localFolderBrowse_ = MakeButton(destinationGroup_, "1016", QStringLiteral("Browse..."));
    connect(localFolderBrowse_, &QPushButton::clicked, this, &CKorvantaDlg::OnLocalFolderBrowse);

    destinations_ = new QComboBox(destinationGroup_);
    destinations_->setObjectName(QStringLiteral("1009"));
    destinations_->setMaxVisibleItems(kVisibleDestinations);
    destinations_->setMinimumWidth(DialogUnitsX(this, kEditWidth));
    // Only the user's choice counts, not the refills of the list.
    connect(destinations_, &QComboBox::activated, this, &CKorvantaDlg::OnDestinationChosen);
    destinationLabel_ =
        MakeLabel(destinationGroup_, "1042", destinations_, QStringLiteral("&Destination:"));
    settingsButton_ = MakeButton(destinationGroup_, "1050", QStringLiteral("&Settings..."));
    connect(settingsButton_, &QPushButton::clicked, this, &CKorvantaDlg::OnSettings);
}

void CKorvantaDlg::CreateButtons()
{
    displayButton_ = MakeButton(this, "1019", QStringLiteral("&Display Destination Folder"));
    connect(displayButton_, &QPushButton::clicked, this, &CKorvantaDlg::OnDisplayDestination);
    convertButton_ = MakeButton(this, "1018", QStringLiteral("&Convert&&Save"));
    connect(convertButton_, &QPushButton::clicked, this, &CKorvantaDlg::OnConvertAndSave);
    closeButton_ = MakeButton(this, "2", QStringLiteral("&Close"));
    connect(closeButton_, &QPushButton::clicked, this, &CKorvantaDlg::reject);

    for (QPushButton* button :
         {sourceBrowse_, localFolderBrowse_, settingsButton_, convertButton_, closeButton_})
        button->setMinimumWidth(DialogUnitsX(this, kButtonWidth));
    displayButton_->setMinimumWidth(DialogUnitsX(this, kWideButtonWidth));

    // The order of the controls in the window. Of the radio buttons, Tab
    // stops at the checked one.
    QWidget* const order[] = {sourceEdit_,      sourceBrowse_,      localPc_,      server_,
                              localFolderEdit_, localFolderBrowse_, destinations_, settingsButton_,
                              displayButton_,   convertButton_,     closeButton_};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void CKorvantaDlg::BuildLayout()
{
    auto* source = new QVBoxLayout(sourceGroup_);
    source->addWidget(instruction_);
    source->addWidget(picture_, 1);
    source->addWidget(sourceLabel_);
    source->addLayout(Row(sourceEdit_, sourceBrowse_));

    auto* destination = new QVBoxLayout(destinationGroup_);
    destination->addWidget(localPc_);
    destination->addWidget(localFolderLabel_);
    destination->addLayout(Row(localFolderEdit_, localFolderBrowse_));
    destination->addSpacing(DialogUnitsY(this, 4));
    destination->addWidget(server_);
    destination->addWidget(destinationLabel_);
    destination->addLayout(Row(destinations_, settingsButton_));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(displayButton_);
    buttons->addStretch(1);
    buttons->addWidget(convertButton_);
    buttons->addWidget(closeButton_);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setMenuBar(menuBar_);
    layout->addWidget(sourceGroup_);
    layout->addWidget(destinationGroup_);
    layout->addSpacing(DialogUnitsY(this, 2));
    layout->addLayout(buttons);
}

void CKorvantaDlg::SetTexts()
{
    SetTextFromResource(this, kCaptionId);
    const std::pair<QWidget*, int> texts[] = {{sourceGroup_, 1003},
                                              {instruction_, 1004},
                                              {destinationGroup_, 1005},
                                              {localPc_, 1007},
                                              {server_, 1008},
                                              {localFolderBrowse_, kBrowseTextId},
                                              {closeButton_, 2},
                                              {convertButton_, 1018},
                                              {displayButton_, 1019},
                                              {localFolderLabel_, kDestinationTextId},
                                              {destinationLabel_, kDestinationTextId},
                                              {sourceBrowse_, kBrowseTextId},
                                              {settingsButton_, 1050},
                                              {sourceLabel_, 1060}};
    for (const auto& [control, id] : texts)
        SetTextFromResource(control, id);

    // A menu text that does not load leaves its item blank.
    helpMenu_->setTitle(MenuText(kHelpMenuId));
    helpAction_->setText(MenuText(kHelpItemId));
    versionAction_->setText(MenuText(kVersionItemId));
}

void CKorvantaDlg::showEvent(QShowEvent* event)
{
    if (!event->spontaneous() && !initialised_) {
        initialised_ = true;
        OnInitDialog();
    }
    QDialog::showEvent(event);
}

void CKorvantaDlg::OnInitDialog()
{
    LogScope scope("CKorvantaDlg::OnInitDialog");
    SetTexts();
    sourceEdit_->SetByteLimit(kSourceBytes);
    // Every run starts with Local PC and both paths empty.
    server_->setChecked(false);
    localPc_->setChecked(true);
    profileController_.Init();
    FillDestinations();
    SelectDestination(0);
    UpdateControls();
    picture_->setPixmap(QPixmap(QString::fromLatin1(kPictureResource)));
    settingsDlg_->SetController(&profileController_);
}

void CKorvantaDlg::UpdateControls()
{
    const bool serverMode = server_->isChecked();
    if (!serverMode && !localPc_->isChecked())
        return;
    const bool hasDestination =
        serverMode ? destinations_->count() > 0 : !localFolderEdit_->text().isEmpty();

    localPc_->setFocusPolicy(serverMode ? Qt::ClickFocus : Qt::StrongFocus);
    server_->setFocusPolicy(serverMode ? Qt::StrongFocus : Qt::ClickFocus);
    destinations_->setEnabled(serverMode);
    destinationLabel_->setEnabled(serverMode);
    settingsButton_->setEnabled(serverMode);
    localFolderEdit_->setEnabled(!serverMode);
    localFolderLabel_->setEnabled(!serverMode);
    localFolderBrowse_->setEnabled(!serverMode);
    displayButton_->setEnabled(hasDestination);
    convertButton_->setEnabled(hasDestination && !sourcePath_.isEmpty());
}

void CKorvantaDlg::StoreFields()
{
    sourcePath_ = sourceEdit_->text();
    localFolder_ = localFolderEdit_->text();
}

void CKorvantaDlg::ShowFields()
{
    sourceEdit_->setText(sourcePath_);
    localFolderEdit_->setText(localFolder_);
}

void CKorvantaDlg::FillDestinations()
{
    destinations_->clear();
    std::vector<std::string> names;
    profileController_.GetProfileNameList(names);
    for (const std::string& name : names)
        destinations_->addItem(QString::fromStdString(name));
}

void CKorvantaDlg::SelectDestination(int index)
{
    if (index < 0 || index >= destinations_->count())
        return;
    destinations_->setCurrentIndex(index);
    profileController_.GetConnectProfile(index, currentProfile_);
}

void CKorvantaDlg::OnPathEdited()
{
    StoreFields();
    UpdateControls();
}

void CKorvantaDlg::OnLocalPc()
{
    StoreFields();
    server_->setChecked(false);
    localPc_->setChecked(true);
    UpdateControls();
}

void CKorvantaDlg::OnServer()
{
    StoreFields();
    localPc_->setChecked(false);
    server_->setChecked(true);
    UpdateControls();
}

void CKorvantaDlg::OnDestinationChosen(int index)
{
    if (destinations_->count() > 0)
        profileController_.GetConnectProfile(index, currentProfile_);
    StoreFields();
}

void CKorvantaDlg::OnSettings()
{
    StoreFields();
    settingsDlg_->SetInitialSelection(destinations_->currentIndex());
    settingsDlg_->exec();
    FillDestinations();
    // The destination chosen in the list, else the first; with none left
    // the current profile stays as it was.
    const int chosen = settingsDlg_->GetSelectedIndex();
    SelectDestination(chosen >= 0 ? chosen : 0);
    UpdateControls();
}

void CKorvantaDlg::OnVersionInfo()
{
    CVersionInfoDlg dialog(this);
    dialog.exec();
}
