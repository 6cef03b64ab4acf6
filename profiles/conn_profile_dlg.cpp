#include "profiles/conn_profile_dlg.h"

#include "app/set_text_from_resource.h"
#include "profiles/con_prof_edit_dlg.h"
#include "profiles/conn_prof_controller.h"
#include "profiles/connect_profile_data.h"
#include "profiles/settings_dialog_support.h"

#include <QHBoxLayout>
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
    // Return outside the buttons closes the dialog, as Close does.
    closeButton_ = MakeButton(this, "2", QStringLiteral("&Close"));
    closeButton_->setDefault(true);
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
        FillList();
        if (initialSelection_ >= 0 && initialSelection_ < list_->count())
            list_->setCurrentRow(initialSelection_);
        UpdateButtons();
        editDlg_->SetController(controller_);
        list_->setFocus();
    }
    QDialog::showEvent(event);
}

void CConnectProfileDlg::FillList()
{
    list_->clear();
    std::vector<std::string> names;
    if (controller_)
        controller_->GetProfileNameList(names);
    for (const std::string& name : names)
        list_->addItem(QString::fromStdString(name));
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
    if (editDlg_->exec() != Accepted)
        return;
    std::string name;
    if (controller_->GetProfileDispName(index, name)) {
        list_->item(index)->setText(QString::fromStdString(name));
        list_->setCurrentRow(index);
    } else {
        delete list_->takeItem(index);
        list_->selectionModel()->clear();
    }
}

void CConnectProfileDlg::OnNew()
{
    if (list_->count() >= MAX_CONNECT_PROFILES) {
        ShowSettingsError(this, kLimitReachedId);
        return;
    }
    editDlg_->ClearFields();
    editDlg_->SetProfileIndex(-1);
    if (editDlg_->exec() != Accepted)
        return;
    std::string name;
    if (controller_ && controller_->GetProfileDispName(editDlg_->GetProfileIndex(), name)) {
        list_->addItem(QString::fromStdString(name));
        list_->setCurrentRow(list_->count() - 1);
    }
    UpdateButtons();
}

void CConnectProfileDlg::OnDelete()
{
    selectedIndex_ = SelectedRow();
    const int index = selectedIndex_;
    if (!IsProfileIndex(index))
        return;
    if (controller_->DeleteConnectProfile(index)) {
        delete list_->takeItem(index);
        // The list would select the next entry; a deletion leaves none selected.
        list_->selectionModel()->clear();
    } else {
        ShowSettingsError(this, kDeleteFailedId);
    }
    UpdateButtons();
}

void CConnectProfileDlg::reject()
{
    selectedIndex_ = SelectedRow();
    QDialog::reject();
}
