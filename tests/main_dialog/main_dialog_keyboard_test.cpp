// The main dialog from the keyboard alone, and how its controls show it.

#include "tests/main_dialog/main_dialog_support.h"

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

const ConnectProfileData kLobby{"Lobby", "ftp://lobby.example.com/screens/", false, "", ""};

class MainDialogKeyboard : public MainDialogTest
{
protected:
    // Server mode as the controls show it: the list and Settings on, the
    // local folder and its Browse off.
    bool ShowsServerMode() const
    {
        return Enabled("1009") && Enabled("1050") && !Enabled("1011") && !Enabled("1016");
    }
    bool ShowsLocalMode() const
    {
        return !Enabled("1009") && !Enabled("1050") && Enabled("1011") && Enabled("1016");
    }
};

// The colour in the middle of the edit's right end, clear of its text.
QColor BackgroundOf(QWidget* edit)
{
    const QImage image = edit->grab().toImage();
    return image.pixelColor(image.width() - 8, image.height() / 2);
}

} // namespace

TEST_F(MainDialogKeyboard, TheArrowKeysChooseServerAndLocalPcAsAClickDoes)
{
    Open({kLobby});
    LocalFolder()->setFocus();
    QTest::keyClick(LocalFolder(), Qt::Key_Backtab);
    EXPECT_EQ(LocalPc(), QApplication::focusWidget()) << "Shift+Tab reaches the checked one";
    ChooseLocalFolder(work.Path());
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    ASSERT_EQ(LocalPc(), TabFrom(Button("1049")));
    ASSERT_TRUE(ShowsLocalMode());

    QTest::keyClick(LocalPc(), Qt::Key_Down);
    EXPECT_TRUE(Server()->isChecked());
    EXPECT_FALSE(LocalPc()->isChecked());
    EXPECT_EQ(Server(), QApplication::focusWidget());
    EXPECT_TRUE(ShowsServerMode());
    EXPECT_EQ(Destinations(), TabFrom(Server())) << "the disabled local folder is skipped";
    EXPECT_EQ(Server(), TabFrom(Button("1049"))) << "Tab reaches the checked one";

    QTest::keyClick(Server(), Qt::Key_Up);
    EXPECT_TRUE(LocalPc()->isChecked());
    EXPECT_TRUE(ShowsLocalMode());
    EXPECT_EQ(work.Path().string(), LocalFolder()->text().toStdString()) << "kept while away";

    QTest::keyClick(LocalPc(), Qt::Key_Right);
    QTest::keyClick(Server(), Qt::Key_Space);
    EXPECT_TRUE(Server()->isChecked()) << "Space keeps the choice";
    EXPECT_TRUE(ShowsServerMode());
}

TEST_F(MainDialogKeyboard, NoButtonIsTheDefaultAndAFocusedButtonTakesEnter)
{
    Open({kLobby});
    ChooseLocalFolder(work.Path());
    TypeSource("deck.pptx");
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    // Through every button and back into the source edit.
    for (QWidget* focus = TabFrom(Source()); focus != Source(); focus = TabFrom(focus)) {
        ASSERT_NE(nullptr, focus);
        EXPECT_EQ(QStringList(), DefaultButtons(dialog.get()))
            << "at " << focus->objectName().toStdString();
    }
    EXPECT_EQ(QStringList(), DefaultButtons(dialog.get()));

    Button("2")->setFocus();
    QTest::keyClick(Button("2"), Qt::Key_Return);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(QDialog::Rejected, dialog->result()) << "Enter pressed Close, not OK";
}

TEST_F(MainDialogKeyboard, TheReadOnlyFolderEditShowsTheWindowBackground)
{
    Open();
    const QColor window = dialog->palette().color(QPalette::Window);
    EXPECT_EQ(window, BackgroundOf(LocalFolder()));
    EXPECT_NE(window, BackgroundOf(Source())) << "the source edit stays an editable white";
    EXPECT_EQ(Source()->palette().color(QPalette::Base), BackgroundOf(Source()));
}
