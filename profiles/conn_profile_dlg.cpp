#include "profiles/conn_profile_dlg.h"

#include "app/set_text_from_resource.h"
#include "profiles/con_prof_edit_dlg.h"
#include "profiles/conn_prof_controller.h"
#include "profiles/connect_profile_data.h"
#include "profiles/settings_dialog_support.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include <string>
#include <vector>

namespace {

constexpr int kTitleId = 500;
constexpr int kLimitReachedId = 14;
constexpr int kDeleteFailedId = 16;

} // namespace

CConnectProfileDlg::CConnectProfileDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("500"));
    setWindowTitle(QStringLiteral("Destination Settings"));

    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("1043"));
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setMinimumSize(DialogUnitsX(this, 302), DialogUnitsY(this, 77));
    connect(list_, &QListWidget::itemSelectionChanged, this,
            &CConnectProfileDlg::OnSelectionChanged);

    listLabel_ = new QLabel(this);
    listLabel_->setObjectName(QStringLiteral("504"));
    listLabel_->setBuddy(list_);
    listLabel_->setText(QStringLiteral("&Destination List:"));

    editButton_ = MakeButton(this, "1044", QStringLiteral("&Edit..."));
    connect(editButton_, &QPushButton::clicked, this, &CConnectProfileDlg::OnEdit);
    newButton_ = MakeButton(this, "1046", QStringLiteral("&New..."));
    connect(newButton_, &QPushButton::clicked, this, &CConnectProfileDlg::OnNew);
    deleteButton_ = MakeButton(this, "3", QStringLiteral("&Delete"));
    connect(deleteButton_, &QPushButton::clicked, this, &CConnectProfileDlg::OnDelete);
    closeButton_ = MakeButton(this, "2", QStringLiteral("&Close"));
    connect(closeButton_, &QPushButton::clicked, this, &CConnectProfileDlg::reject);

    editDlg_ = new CConProfEditDlg(this);

    BuildLayout();
    SetTexts();
    UpdateButtons();
}

void CConnectProfileDlg::BuildLayout()
{
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {editButton_, newButton_, deleteButton_, closeButton_}) {
        button->setMinimumWidth(DialogUnitsX(this, 74));
        buttons->addWidget(button, 1);
    }

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(listLabel_);
    layout->addWidget(list_);
    layout->addSpacing(DialogUnitsY(this, 2));
    layout->addLayout(buttons);
}

void CConnectProfileDlg::SetTexts()
{
    SetTextFromResource(this, kTitleId);
    for (QWidget* control : std::initializer_list<QWidget*>{editButton_, deleteButton_, newButton_,
                                                            closeButton_, listLabel_})
        SetTextFromResource(control, control->objectName().toInt());
}

void CConnectProfileDlg::SetController(ConnProfController* controller)
{
    controller_ = controller;
}

void CConnectProfileDlg::SetInitialSelection(int index)
{
    initialSelection_ = index;
}

void CConnectProfileDlg::showEvent(QShowEvent* event)
{
    if (!event->spontaneous()) {
        SetTexts();
        // Changes made meanwhile by another program show at once.
        if (controller_)
            controller_->Refresh();
        FillList();
        if (initialSelection_ >= 0 && initialSelection_ < list_->count())
            list_->setCurrentRow(initialSelection_);
        UpdateButtons();
        editDlg_->SetController(controller_);
        list_->setFocus();
    }
    QDialog::showEvent(event);
}

void CConnectProfileDlg::keyPressEvent(QKeyEvent* event)
{
    // No button is the default: Return outside the buttons closes the
    // dialog, as Close does.
    if (IsEnterKey(event)) {
        closeButton_->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CConnectProfileDlg::FillList()
{
    list_->clear();
    list_->addItems(ControllerNames());
}

QStringList CConnectProfileDlg::ControllerNames() const
{
    std::vector<std::string> names;
    if (controller_)
        controller_->GetProfileNameList(names);
    QStringList entries;
    for (const std::string& name : names)
        entries << QString::fromStdString(name);
    return entries;
}

// After a change, or a reload of the controller's list from the file, the
// list box shows the controller's list, keeping the selected row while it
// still exists.
void CConnectProfileDlg::FollowController()
{
    QStringList shown;
    for (int row = 0; row < list_->count(); ++row)
        shown << list_->item(row)->text();
    if (shown == ControllerNames())
        return;
    const int row = SelectedRow();
    FillList();
    if (row >= 0 && row < list_->count())
        list_->setCurrentRow(row);
}

int CConnectProfileDlg::SelectedRow() const
{
    const QList<QListWidgetItem*> selected = list_->selectedItems();
    return selected.isEmpty() ? -1 : list_->row(selected.first());
}

bool CConnectProfileDlg::IsProfileIndex(int index)
{
    return controller_ && index >= 0 && index < controller_->GetProfileCount();
}

void CConnectProfileDlg::UpdateButtons()
{
    const bool selected = SelectedRow() >= 0;
    editButton_->setEnabled(selected);
    deleteButton_->setEnabled(selected);
}

void CConnectProfileDlg::OnSelectionChanged()
{
    UpdateButtons();
    selectedIndex_ = SelectedRow();
}

void CConnectProfileDlg::OnEdit()
{
    selectedIndex_ = SelectedRow();
    const int index = selectedIndex_;
    if (!IsProfileIndex(index))
        return;
    editDlg_->SetProfileIndex(index);
    const bool saved = editDlg_->exec() == Accepted;
    FollowController();
    // The edited profile keeps its place, unless a reload moved it.
    if (saved)
        list_->setCurrentRow(editDlg_->GetProfileIndex());
}

void CConnectProfileDlg::OnNew()
{
    if (list_->count() >= MAX_CONNECT_PROFILES) {
        ShowSettingsError(this, kLimitReachedId);
        return;
    }
    editDlg_->ClearFields();
    editDlg_->SetProfileIndex(-1);
    const bool saved = editDlg_->exec() == Accepted;
    FollowController();
    if (saved)
        list_->setCurrentRow(editDlg_->GetProfileIndex());
    UpdateButtons();
}

void CConnectProfileDlg::OnDelete()
{
    selectedIndex_ = SelectedRow();
    const int index = selectedIndex_;
    if (!IsProfileIndex(index))
        return;
    const bool deleted = controller_->DeleteConnectProfile(index);
    if (!deleted)
        ShowSettingsError(this, kDeleteFailedId);
    FollowController();
    // A deletion leaves no entry selected.
    if (deleted)
        list_->selectionModel()->clear();
    UpdateButtons();
}

void CConnectProfileDlg::reject()
{
    selectedIndex_ = SelectedRow();
    QDialog::reject();
}
