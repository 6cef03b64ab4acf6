#include "platform/string_resources.h"
#include "profiles/con_prof_edit_dlg.h"
#include "profiles/conn_prof_controller.h"
#include "profiles/input_control_edit.h"
#include "tests/dialogs/dialog_test_support.h"
#include "tests/profiles/profile_test_env.h"
#include "tests/widgets/edit_test_support.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

class ProfileEditDialog : public testing::Test
{
protected:
    void TearDown() override
    {
        EXPECT_EQ(0, CancelUnansweredModals()) << "an expected dialog never showed";
        platform::SelectStringTable(platform::kEnglishStringTable);
    }

    // Seeds the profile file, loads it and shows the dialog for index
    // (-1: a new destination), as the list dialog does.
    void Open(int index, const std::vector<ConnectProfileData>& seed = {})
    {
        SeedProfiles(seed);
        controller.Init();
        dialog.SetController(&controller);
        Reopen(index);
    }

    void Reopen(int index)
    {
        if (index == -1)
            dialog.ClearFields();
        dialog.SetProfileIndex(index);
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }

    ConfigHome home;
    ConnProfController controller;
    CConProfEditDlg dialog;
    QLineEdit* const dispName = Control<QLineEdit>(&dialog, "1041");
    QLineEdit* const destination = Control<QLineEdit>(&dialog, "1042");
    QCheckBox* const authentication = Control<QCheckBox>(&dialog, "1017");
    QLineEdit* const userName = Control<QLineEdit>(&dialog, "1013");
    CInputControlEdit* const password = Control<CInputControlEdit>(&dialog, "1014");
    QPushButton* const ok = Control<QPushButton>(&dialog, "1");
    QPushButton* const cancel = Control<QPushButton>(&dialog, "2");
};

} // namespace

TEST_F(ProfileEditDialog, OkIsEnabledExactlyWhenTheInputIsComplete)
{
    Open(-1);
    EXPECT_FALSE(ok->isEnabled());
    EXPECT_FALSE(userName->isEnabled());
    EXPECT_FALSE(password->isEnabled());
    EXPECT_TRUE(userName->isVisible() && password->isVisible());

    QTest::keyClicks(dispName, "Office FTP");
    EXPECT_FALSE(ok->isEnabled()) << "no save location yet";
    QTest::keyClicks(destination, "ftp://ftp.example.com/slides/");
    EXPECT_TRUE(ok->isEnabled());

    Click(authentication);
    EXPECT_TRUE(userName->isEnabled() && password->isEnabled());
    EXPECT_FALSE(ok->isEnabled()) << "authentication without a user name";
    QTest::keyClicks(password, "secret");
    EXPECT_FALSE(ok->isEnabled()) << "a password does not stand in for the user name";
    QTest::keyClicks(userName, "alice");
    EXPECT_TRUE(ok->isEnabled());
    EraseText(userName);
    EXPECT_FALSE(ok->isEnabled());
    QTest::keyClick(dispName, Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible()) << "Return does nothing while OK is disabled";

    Click(authentication);
    EXPECT_TRUE(ok->isEnabled()) << "without authentication the user name may be empty";
    EXPECT_FALSE(userName->isEnabled() || password->isEnabled());

    EraseText(dispName);
    EXPECT_FALSE(ok->isEnabled());
    QTest::keyClicks(dispName, "   ");
    EXPECT_TRUE(ok->isEnabled()) << "spaces count as filled";
    EraseText(destination);
    EXPECT_FALSE(ok->isEnabled());
    EXPECT_EQ(ok->isEnabled(), dialog.IsInputComplete());
}

TEST_F(ProfileEditDialog, ThePasswordTakesPrintableAsciiAndSpacesOnly)
{
    Open(-1);
    Click(authentication);
    TypeText(password, QStringLiteral("open sesame é日!"));
    EXPECT_EQ(QStringLiteral("open sesame !"), password->text());
    PutTextOnClipboard(QStringLiteral("naïve"));
    QTest::keyClick(password, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(QStringLiteral("open sesame !"), password->text()) << "the paste is refused whole";

    for (QLineEdit* edit : {dispName, destination, userName}) {
        TypeText(edit, QStringLiteral("Büro 東京"));
        EXPECT_EQ(QStringLiteral("Büro 東京"), edit->text()) << edit->objectName().toStdString();
    }

    EXPECT_EQ(QLineEdit::Password, password->echoMode());
    const Qt::InputMethodHints hints = password->inputMethodHints();
    EXPECT_TRUE(hints.testFlags(Qt::ImhHiddenText | Qt::ImhLatinOnly | Qt::ImhSensitiveData));
    EXPECT_FALSE(userName->inputMethodHints().testFlag(Qt::ImhLatinOnly));
}

TEST_F(ProfileEditDialog, EachFieldTakesNoMoreThanItsLimit)
{
    Open(-1);
    Click(authentication);
    PutTextOnClipboard(QString(2000, u'x'));
    const std::vector<std::pair<QLineEdit*, int>> limits = {
        {dispName, 127}, {destination, 1024}, {userName, 256}, {password, 256}};
    for (const auto& [edit, limit] : limits) {
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(limit, edit->text().size()) << edit->objectName().toStdString();
        QTest::keyClick(edit, Qt::Key_Y);
        EXPECT_EQ(limit, edit->text().size()) << edit->objectName().toStdString();
    }
}

TEST_F(ProfileEditDialog, TheKeyboardWalksTheFieldsInOrderAndReturnSaves)
{
    Open(-1);
    ASSERT_EQ(dispName, QApplication::focusWidget());
    QTest::keyClicks(dispName, "Office FTP");
    EXPECT_EQ(destination, TabFrom(dispName));
    QTest::keyClicks(destination, "ftp://ftp.example.com/slides/");
    EXPECT_EQ(authentication, TabFrom(destination));
    QTest::keyClick(authentication, Qt::Key_Space);
    EXPECT_TRUE(authentication->isChecked());
    EXPECT_EQ(userName, TabFrom(authentication));
    QTest::keyClicks(userName, "alice");
    EXPECT_EQ(password, TabFrom(userName));
    QTest::keyClicks(password, "s3cret pass");
    EXPECT_EQ(ok, TabFrom(password));
    EXPECT_EQ(cancel, TabFrom(ok));
    EXPECT_EQ(dispName, TabFrom(cancel));

    QTest::keyClick(password, Qt::Key_Return);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(QDialog::Accepted, dialog.result());
    EXPECT_EQ(0, dialog.GetProfileIndex());
    const ConnectProfileData saved{"Office FTP", "ftp://ftp.example.com/slides/", true, "alice",
                                   "s3cret pass"};
    EXPECT_EQ(std::vector<ConnectProfileData>{saved}, ProfilesOnDisk());
}

TEST_F(ProfileEditDialog, EditingLoadsTheProfileAndSavesItInPlace)
{
    ConnectProfileData share = SampleProfile("Team share", 1);
    share.id = "bob";
    share.password = "old pw";
    Open(1, {SampleProfile("First", 0), share, SampleProfile("Last", 2)});
    EXPECT_EQ(QStringLiteral("Team share"), dispName->text());
    EXPECT_EQ(QString::fromStdString(share.destination), destination->text());
    EXPECT_FALSE(authentication->isChecked());
    EXPECT_FALSE(userName->isEnabled());
    EXPECT_EQ(QStringLiteral("bob"), userName->text()) << "kept while authentication is off";
    EXPECT_EQ(QStringLiteral("old pw"), password->text());
    EXPECT_TRUE(ok->isEnabled());

    EraseText(dispName);
    QTest::keyClicks(dispName, "Team share (new)");
    Click(ok);
    EXPECT_EQ(QDialog::Accepted, dialog.result());
    share.dispName = "Team share (new)";
    EXPECT_EQ((std::vector<ConnectProfileData>{SampleProfile("First", 0), share,
                                               SampleProfile("Last", 2)}),
              ProfilesOnDisk());

    Reopen(7);
    EXPECT_TRUE(dispName->text().isEmpty() && destination->text().isEmpty() &&
                userName->text().isEmpty() && password->text().isEmpty());
    EXPECT_FALSE(authentication->isChecked());
    EXPECT_FALSE(ok->isEnabled());
    dialog.reject();
}

TEST_F(ProfileEditDialog, CancelAndEscapeSaveNothingAndEmptyTheFields)
{
    Open(0, {SampleProfile("Office FTP", 0)});
    const std::string before = ReadFile(home.File());
    for (const bool useEscape : {false, true}) {
        EraseText(dispName);
        QTest::keyClicks(dispName, "Changed");
        if (useEscape)
            QTest::keyClick(dispName, Qt::Key_Escape);
        else
            Click(cancel);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(QDialog::Rejected, dialog.result());
        EXPECT_TRUE(dispName->text().isEmpty() && destination->text().isEmpty() &&
                    userName->text().isEmpty() && password->text().isEmpty());
        EXPECT_FALSE(authentication->isChecked());
        EXPECT_EQ(before, ReadFile(home.File()));
        Reopen(0);
    }
    dialog.reject();
}

TEST_F(ProfileEditDialog, AValueLongerThanItsFieldIsRefusedOnOk)
{
    // Only a file written by another program can hold such a value.
    const std::string longName(130, 'n');
    Open(0, {SampleProfile(longName, 0)});
    EXPECT_EQ(130, dispName->text().size()) << "nothing is cut off unseen";
    bool warned = false;
    OnNextModal<QMessageBox>([&](QMessageBox* box) {
        warned = true;
        EXPECT_TRUE(box->text().contains(QStringLiteral("127")));
        EXPECT_EQ(Resource(102), box->windowTitle());
        Click(box->button(QMessageBox::Ok));
    });
    Click(ok);
    EXPECT_TRUE(warned);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(longName, NamesOnDisk().at(0));

    dispName->end(false);
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(dispName, Qt::Key_Backspace);
    Click(ok);
    EXPECT_EQ(QDialog::Accepted, dialog.result());
    EXPECT_EQ(std::string(127, 'n'), NamesOnDisk().at(0));
}

TEST_F(ProfileEditDialog, TextsComeFromTheActiveTable)
{
    Open(-1);
    EXPECT_EQ(QStringLiteral("Destination Settings"), dialog.windowTitle());
    EXPECT_EQ(QStringLiteral("&OK"), ok->text()) << "English has no string 1";
    EXPECT_EQ(QStringLiteral("&Cancel"), cancel->text());
    EXPECT_EQ(Resource(1017), authentication->text());
    EXPECT_EQ(Resource(502), Control<QLabel>(&dialog, "502")->text());
    dialog.reject();

    ASSERT_TRUE(platform::SelectStringTable(1041));
    Reopen(-1);
    EXPECT_EQ(QStringLiteral("保存先の設定"), dialog.windowTitle());
    EXPECT_EQ(QStringLiteral("OK(&O)"), ok->text());
    EXPECT_EQ(QStringLiteral("キャンセル(&C)"), cancel->text());
    EXPECT_EQ(QStringLiteral("パスワード(&P)："), Control<QLabel>(&dialog, "1015")->text());
    dialog.reject();
}

TEST_F(ProfileEditDialog, TextWithLineBreaksComesInCutAtTheFirstOne)
{
    Open(-1);
    Click(authentication);
    // Every way text arrives, in every field; the forged block must never
    // reach the file. A field with a line break fails here, before OK.
    const QString forged = QStringLiteral("Office\n[DISP_NAME]x\nLIST:[1]");
    for (QLineEdit* edit : {dispName, destination, userName, static_cast<QLineEdit*>(password)}) {
        SCOPED_TRACE(edit->objectName().toStdString());
        PutTextOnClipboard(forged);
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        ASSERT_EQ(QStringLiteral("Office"), edit->text());
        PutTextOnClipboard(QStringLiteral("\r\nall gone"));
        ASSERT_TRUE(PasteFromContextMenu(edit));
        ASSERT_EQ(QStringLiteral("Office"), edit->text());
        edit->setCursorPosition(0);
        EXPECT_TRUE(DropText(edit, QStringLiteral("A\rB")));
        ASSERT_EQ(QStringLiteral("AOffice"), edit->text());
        CommitText(edit, QStringLiteral("Z\nY"));
        ASSERT_EQ(QStringLiteral("AZOffice"), edit->text());
    }
    Click(ok);
    EXPECT_EQ(QDialog::Accepted, dialog.result());
    EXPECT_EQ(
        (std::vector<ConnectProfileData>{{"AZOffice", "AZOffice", true, "AZOffice", "AZOffice"}}),
        ProfilesOnDisk());
}
