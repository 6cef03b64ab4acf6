#pragma once

#include "profiles/conn_prof_controller.h"
#include "profiles/connect_profile_data.h"

#include <QDialog>
#include <QString>

class CByteLimitEdit;
class CConnectProfileDlg;
class CProcessingDlg;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class QRadioButton;
class ShellOpenTask;
struct ConvertData;

// The main window: the source file, the destination (a local folder or a
// saved server), Convert&Save and the result of each run. Files dropped on
// the dialog name the source. A top-level window of its own, shown without
// a modal loop; it ends with Close or Esc, and with Enter outside a push
// button.
class CKorvantaDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CKorvantaDlg(QWidget* parent = nullptr);

    // Takes the path as the source, as a file dropped on the dialog. A
    // conversion running meanwhile keeps the path it started with.
    void TakeFile(const QString& path);

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Construction.
    void CreateSourceGroup();
    void CreateDestinationGroup();
    void CreateButtons();
    void CreateMenu();
    void CreateShellOpenings();
    void BuildLayout();
    void SetTexts();

    void OnInitDialog();
    void UpdateControls();

    // The fields: the two edits and the strings they stand for.
    void StoreFields();
    void ShowFields();

    // The destination list.
    void FillDestinations();
    void SelectDestination(int index);

    // Handlers.
    void OnPathEdited();
    void OnLocalPc();
    void OnServer();
    void OnSourceBrowse();
    void OnLocalFolderBrowse();
    void OnDestinationChosen(int index);
    void OnSettings();
    void OnDisplayDestination();
    void OnConvertAndSave();
    void OnHelp();
    void OnVersionInfo();

    // Convert&Save and Display Destination Folder.
    void FillRequest(ConvertData& request);
    void OnDestinationOpened(bool opened);
    int CheckRequest(const ConvertData& request) const;
    void ShowResultMessage(int code);
    void ShowSuccessMessage();

    QMenuBar* menuBar_ = nullptr;
    QMenu* helpMenu_ = nullptr;
    QAction* helpAction_ = nullptr;
    QAction* versionAction_ = nullptr;

    QGroupBox* sourceGroup_ = nullptr;
    QLabel* instruction_ = nullptr;
    QLabel* picture_ = nullptr;
    QLabel* sourceLabel_ = nullptr;
    CByteLimitEdit* sourceEdit_ = nullptr;
    QPushButton* sourceBrowse_ = nullptr;

    QGroupBox* destinationGroup_ = nullptr;
    QRadioButton* localPc_ = nullptr;
    QRadioButton* server_ = nullptr;
    QLabel* localFolderLabel_ = nullptr;
    QLineEdit* localFolderEdit_ = nullptr;
    QPushButton* localFolderBrowse_ = nullptr;
    QLabel* destinationLabel_ = nullptr;
    QComboBox* destinations_ = nullptr;
    QPushButton* settingsButton_ = nullptr;

    QPushButton* displayButton_ = nullptr;
    QPushButton* convertButton_ = nullptr;
    QPushButton* closeButton_ = nullptr;

    CConnectProfileDlg* settingsDlg_ = nullptr;
    CProcessingDlg* processingDlg_ = nullptr;
    // The openings in the shell of Display Destination Folder and of Help.
    ShellOpenTask* destinationOpening_ = nullptr;
    ShellOpenTask* helpOpening_ = nullptr;
    ConnectProfileData currentProfile_;
    ConnProfController profileController_;
    QString sourcePath_;
    QString localFolder_;
    bool initialised_ = false;
};
