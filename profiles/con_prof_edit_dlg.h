#pragma once

#include <QDialog>

class CInputControlEdit;
class ConnProfController;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
struct ConnectProfileData;

// Edits one saved destination: display name, save location and, for user
// authentication, user name and password. OK saves it through the controller
// at once; OK is enabled only while the input is complete.
class CConProfEditDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CConProfEditDlg(QWidget* parent = nullptr);

    // Not owned; must outlive the dialog's showings.
    void SetController(ConnProfController* controller);

    // -1 starts a new destination. Any other index fills the fields from
    // that profile, or empties them when it cannot be read. Always true.
    bool SetProfileIndex(int index);
    // After OK on a new destination: its index in the list.
    int GetProfileIndex() const { return profileIndex_; }

    void ClearFields();

    // Display name and save location filled, and the user name too when
    // authentication is checked. Spaces count as filled.
    bool IsInputComplete() const;

public slots:
    // Saves the destination; closes with Accepted, or with Rejected after
    // telling the user that it could not be saved.
    void accept() override;
    // Empties the fields and closes.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildLayout();
    void SetTexts();
    void ShowProfile(const ConnectProfileData& profile);
    ConnectProfileData ReadProfile() const;
    bool RefuseTooLongField();
    int PlaceOf(const ConnectProfileData& saved) const;
    void UpdateAuthenticationFields();
    void UpdateOkButton();

    QLabel* dispNameLabel_ = nullptr;
    QLineEdit* dispNameEdit_ = nullptr;
    QLabel* destinationLabel_ = nullptr;
    QLineEdit* destinationEdit_ = nullptr;
    QCheckBox* authenticationCheck_ = nullptr;
    QLabel* userNameLabel_ = nullptr;
    QLineEdit* userNameEdit_ = nullptr;
    QLabel* passwordLabel_ = nullptr;
    CInputControlEdit* passwordEdit_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;

    int profileIndex_ = -1;
    ConnProfController* controller_ = nullptr;
};
