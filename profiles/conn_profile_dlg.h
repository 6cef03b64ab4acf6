#pragma once

#include <QDialog>

class CConProfEditDlg;
class ConnProfController;
class QLabel;
class QListWidget;
class QPushButton;

// The list of saved destinations, in profile order, with Edit..., New...,
// Delete and Close. Every change is saved through the controller at once.
// Reused for every showing: the list is rebuilt from the controller each
// time the dialog opens.
class CConnectProfileDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CConnectProfileDlg(QWidget* parent = nullptr);

    // Not owned; set once before the first showing.
    void SetController(ConnProfController* controller);

    // The destination currently chosen by the caller (-1 for none), selected
    // in the list when the dialog next opens. Set before each showing.
    void SetInitialSelection(int index);

    // The list selection when the dialog last closed; -1 when none.
    int GetSelectedIndex() const { return selectedIndex_; }

public slots:
    // Close, Esc and the close box: keeps the selection for GetSelectedIndex.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildLayout();
    void SetTexts();
    void FillList();
    QStringList ControllerNames() const;
    void FollowController();
    int SelectedRow() const;
    bool IsProfileIndex(int index);
    void UpdateButtons();
    void OnSelectionChanged();
    void OnEdit();
    void OnNew();
    void OnDelete();

    QLabel* listLabel_ = nullptr;
    QListWidget* list_ = nullptr;
    QPushButton* editButton_ = nullptr;
    QPushButton* newButton_ = nullptr;
    QPushButton* deleteButton_ = nullptr;
    QPushButton* closeButton_ = nullptr;

    CConProfEditDlg* editDlg_ = nullptr;
    ConnProfController* controller_ = nullptr;
    int selectedIndex_ = 0;
    int initialSelection_ = -1;
};
