#include "profiles/con_prof_edit_dlg.h"
#include "profiles/conn_prof_controller.h"
#include "profiles/conn_profile_dlg.h"
#include "tests/dialogs/dialog_test_support.h"
#include "tests/profiles/profile_test_env.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

namespace {

class ProfileListDialog : public testing::Test
{
protected:
    void TearDown() override
    {
        EXPECT_EQ(0, CancelUnansweredModals()) << "an expected dialog never showed";
    }

    // Seeds the profile file, loads it as the main dialog does at start and
    // opens the list with the main dialog's current destination.
    void Open(const std::vector<ConnectProfileData>& seed = {}, int current = -1)
    {
        SeedProfiles(seed);
        controller.Init();
        dialog.SetController(&controller);
        Reopen(current);
    }

    void Reopen(int current)
    {
        dialog.SetInitialSelection(current);
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }

    QStringList Entries() const
    {
        QStringList names;
        for (int row = 0; row < list->count(); ++row)
            names << list->item(row)->text();
        return names;
    }

    int SelectedRow() const
    {
        const QList<QListWidgetItem*> selected = list->selectedItems();
        return selected.isEmpty() ? -1 : list->row(selected.first());
    }

    bool CanEditAndDelete() const { return edit->isEnabled() && remove->isEnabled(); }

    // Answers the edit dialog that the next click opens: handler fills it
    // in and presses its OK or Cancel.
    void OnEditDialog(const std::function<void(CConProfEditDlg*)>& handler)
    {
        editShown = false;
        OnNextModal<CConProfEditDlg>([this, handler](CConProfEditDlg* editDialog) {
            editShown = true;
            handler(editDialog);
        });
    }

    ConfigHome home;
    ConnProfController controller;
    CConnectProfileDlg dialog;
    QListWidget* const list = Control<QListWidget>(&dialog, "1043");
    QPushButton* const edit = Control<QPushButton>(&dialog, "1044");
    QPushButton* const add = Control<QPushButton>(&dialog, "1046");
    QPushButton* const remove = Control<QPushButton>(&dialog, "3");
    QPushButton* const close = Control<QPushButton>(&dialog, "2");
    bool editShown = false;
};

// Types a new destination into the edit dialog and presses OK.
void FillInAndSave(CConProfEditDlg* editDialog, const QString& name)
{
    QTest::keyClicks(Control<QLineEdit>(editDialog, "1041"), name);
    QTest::keyClicks(Control<QLineEdit>(editDialog, "1042"), "\\\\fileserver\\slides");
    Click(Control<QPushButton>(editDialog, "1"));
}

std::vector<std::string> Sorted(std::vector<std::string> names)
{
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<ConnectProfileData> Samples(int count)
{
    std::vector<ConnectProfileData> profiles;
    for (int i = 0; i < count; ++i)
        profiles.push_back(SampleProfile("Destination " + std::to_string(i), i));
    return profiles;
}

} // namespace

TEST_F(ProfileListDialog, WithNoProfilesOnlyNewAndCloseAreEnabled)
{
    Open();
    EXPECT_EQ(0, list->count());
    EXPECT_FALSE(edit->isEnabled());
    EXPECT_FALSE(remove->isEnabled());
    EXPECT_TRUE(add->isEnabled() && close->isEnabled());
    EXPECT_EQ(Resource(500), dialog.windowTitle());
    EXPECT_EQ(Resource(504), Control<QLabel>(&dialog, "504")->text());
    EXPECT_EQ(Resource(3), remove->text());
}

TEST_F(ProfileListDialog, ShowsProfilesInOrderAndHandsBackTheSelection)
{
    Open({SampleProfile("Zeta", 0), SampleProfile("Alpha", 1), SampleProfile("Mid", 2)}, 1);
    EXPECT_EQ((QStringList{"Zeta", "Alpha", "Mid"}), Entries()) << "profile order, not sorted";
    EXPECT_EQ(1, SelectedRow()) << "the main dialog's destination";
    EXPECT_TRUE(CanEditAndDelete());

    ClickRow(list, 2);
    EXPECT_EQ(2, SelectedRow());
    Click(close);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(2, dialog.GetSelectedIndex());

    Reopen(-1);
    EXPECT_EQ(-1, SelectedRow());
    EXPECT_FALSE(CanEditAndDelete());
    QTest::keyClick(list, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(-1, dialog.GetSelectedIndex());

    Reopen(3);
    EXPECT_EQ(3, list->count()) << "rebuilt, not appended to";
    EXPECT_EQ(-1, SelectedRow());
    dialog.close();
    EXPECT_EQ(-1, dialog.GetSelectedIndex());
}

TEST_F(ProfileListDialog, TheKeyboardWalksTheControlsInOrder)
{
    Open({SampleProfile("Zeta", 0), SampleProfile("Alpha", 1)});
    ASSERT_EQ(list, QApplication::focusWidget());
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(1, SelectedRow());
    EXPECT_TRUE(CanEditAndDelete());
    EXPECT_EQ(edit, TabFrom(list));
    EXPECT_EQ(add, TabFrom(edit));
    EXPECT_EQ(remove, TabFrom(add));
    EXPECT_EQ(close, TabFrom(remove));
    EXPECT_EQ(list, TabFrom(close));

    EXPECT_EQ(QStringList(), DefaultButtons(&dialog)) << "after Tab went through them all";
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_FALSE(dialog.isVisible()) << "Return in the list closes as Close does";
    EXPECT_EQ(1, dialog.GetSelectedIndex());
}

TEST_F(ProfileListDialog, NewIsRefusedAtTheLimitUntilOneIsDeleted)
{
    Open(Samples(MAX_CONNECT_PROFILES), 0);
    ASSERT_EQ(MAX_CONNECT_PROFILES, list->count());
    const auto refused = ExpectErrorBox(14);
    Click(add);
    EXPECT_TRUE(*refused);
    EXPECT_EQ(MAX_CONNECT_PROFILES, list->count());
    EXPECT_EQ(MAX_CONNECT_PROFILES, controller.GetProfileCount());

    ClickRow(list, 5);
    Click(remove);
    ASSERT_EQ(MAX_CONNECT_PROFILES - 1, list->count());
    OnEditDialog([](CConProfEditDlg* editDialog) { FillInAndSave(editDialog, "Newest"); });
    Click(add);
    EXPECT_TRUE(editShown);
    ASSERT_EQ(MAX_CONNECT_PROFILES, list->count());
    EXPECT_EQ(QStringLiteral("Newest"), list->item(MAX_CONNECT_PROFILES - 1)->text());
    EXPECT_EQ(MAX_CONNECT_PROFILES - 1, SelectedRow()) << "the new entry is selected";
    EXPECT_TRUE(CanEditAndDelete());
    const std::vector<std::string> names = NamesOnDisk();
    ASSERT_EQ(std::size_t(MAX_CONNECT_PROFILES), names.size());
    EXPECT_EQ("Destination 6", names[5]);
    EXPECT_EQ("Newest", names.back());
}

TEST_F(ProfileListDialog, EditingKeepsThePositionAndTheSelection)
{
    Open(Samples(3));
    ClickRow(list, 1);
    OnEditDialog([](CConProfEditDlg* editDialog) {
        auto* name = Control<QLineEdit>(editDialog, "1041");
        EXPECT_EQ(QStringLiteral("Destination 1"), name->text()) << "the chosen profile";
        EraseText(name);
        QTest::keyClicks(name, "Renamed");
        Click(Control<QCheckBox>(editDialog, "1017"));
        QTest::keyClicks(Control<QLineEdit>(editDialog, "1013"), "carol");
        Click(Control<QPushButton>(editDialog, "1"));
    });
    Click(edit);
    EXPECT_TRUE(editShown);
    EXPECT_EQ((QStringList{"Destination 0", "Renamed", "Destination 2"}), Entries());
    EXPECT_EQ(1, SelectedRow());
    EXPECT_TRUE(CanEditAndDelete());
    const std::vector<ConnectProfileData> onDisk = ProfilesOnDisk();
    ASSERT_EQ(3u, onDisk.size());
    EXPECT_EQ("Renamed", onDisk[1].dispName);
    EXPECT_TRUE(onDisk[1].authentication);
    EXPECT_EQ("carol", onDisk[1].id);
    EXPECT_EQ(SampleProfile("Destination 2", 2), onDisk[2]);
}

TEST_F(ProfileListDialog, DeletingLeavesNothingSelected)
{
    Open(Samples(3), 1);
    Click(remove);
    EXPECT_EQ((QStringList{"Destination 0", "Destination 2"}), Entries());
    EXPECT_EQ(-1, SelectedRow());
    EXPECT_FALSE(CanEditAndDelete());
    EXPECT_EQ((std::vector<std::string>{"Destination 0", "Destination 2"}), NamesOnDisk());
    Click(close);
    EXPECT_EQ(-1, dialog.GetSelectedIndex());
}

TEST_F(ProfileListDialog, CancellingNewAddsNothing)
{
    Open(Samples(2), 0);
    const std::string before = ReadFile(home.File());
    OnEditDialog([](CConProfEditDlg* editDialog) {
        QTest::keyClicks(Control<QLineEdit>(editDialog, "1041"), "Never saved");
        QTest::keyClicks(Control<QLineEdit>(editDialog, "1042"), "ftp://ftp.example.com/");
        Click(Control<QPushButton>(editDialog, "2"));
    });
    Click(add);
    EXPECT_TRUE(editShown);
    EXPECT_EQ((QStringList{"Destination 0", "Destination 1"}), Entries());
    EXPECT_EQ(0, SelectedRow());
    EXPECT_TRUE(CanEditAndDelete());
    EXPECT_EQ(2, controller.GetProfileCount());
    EXPECT_EQ(before, ReadFile(home.File()));

    // The next New... starts empty again.
    OnEditDialog([](CConProfEditDlg* editDialog) {
        EXPECT_TRUE(Control<QLineEdit>(editDialog, "1041")->text().isEmpty());
        QTest::keyClick(editDialog, Qt::Key_Escape);
    });
    Click(add);
    EXPECT_TRUE(editShown);
    EXPECT_EQ(2, list->count());
}

TEST_F(ProfileListDialog, AProfileFileThatCannotBeWrittenRefusesEveryChange)
{
    Open(Samples(3), 1);
    const std::string before = ReadFile(home.File());
    // Immutable holds for root too; the folder takes no replacement file.
    Immutable lockedFolder(home.Folder());
    Immutable lockedFile(home.File());
    ASSERT_TRUE(lockedFolder.Holds() && lockedFile.Holds());
    ASSERT_FALSE(std::ofstream(home.File(), std::ios::app).is_open()) << "the lock must hold";

    OnEditDialog([](CConProfEditDlg* editDialog) {
        auto* name = Control<QLineEdit>(editDialog, "1041");
        EraseText(name);
        QTest::keyClicks(name, "Renamed");
        const auto failed = ExpectErrorBox(15);
        Click(Control<QPushButton>(editDialog, "1"));
        EXPECT_TRUE(*failed);
        EXPECT_FALSE(editDialog->isVisible()) << "the edit dialog closes after the message";
    });
    Click(edit);
    EXPECT_TRUE(editShown);
    EXPECT_EQ((QStringList{"Destination 0", "Destination 1", "Destination 2"}), Entries());
    EXPECT_EQ(1, SelectedRow());

    OnEditDialog([](CConProfEditDlg* editDialog) {
        const auto failed = ExpectErrorBox(15);
        FillInAndSave(editDialog, "Extra");
        EXPECT_TRUE(*failed);
    });
    Click(add);
    EXPECT_TRUE(editShown);
    EXPECT_EQ(3, list->count());

    const auto failed = ExpectErrorBox(16);
    Click(remove);
    EXPECT_TRUE(*failed);
    EXPECT_EQ(3, list->count());
    EXPECT_EQ(1, SelectedRow());

    EXPECT_EQ(3, controller.GetProfileCount());
    EXPECT_EQ(before, ReadFile(home.File()));
    EXPECT_EQ((std::vector<std::string>{"QUORVEL Korvanta TypeA Server List.dat",
                                        "QUORVEL Korvanta TypeA Server List.dat.lock"}),
              Sorted(home.FolderEntries()))
        << "no temporary file is left";
}

TEST_F(ProfileListDialog, ShowsWhatAnotherWriterChangedMeanwhile)
{
    Open(Samples(2));
    ConnProfController other;
    ASSERT_TRUE(other.Init());
    ASSERT_TRUE(other.AddConnectProfile(SampleProfile("Added elsewhere", 2)));
    Click(close);
    Reopen(-1);
    EXPECT_EQ((QStringList{"Destination 0", "Destination 1", "Added elsewhere"}), Entries())
        << "opening the list shows the file as it is now";

    // While the list is open, the other writer deletes the first entry; the
    // user then deletes "Destination 1", still at row 1 on screen.
    ASSERT_TRUE(other.DeleteConnectProfile(0));
    ClickRow(list, 1);
    Click(remove);
    EXPECT_EQ(QStringList{"Added elsewhere"}, Entries());
    EXPECT_EQ(std::vector<std::string>{"Added elsewhere"}, NamesOnDisk());

    ASSERT_TRUE(other.AddConnectProfile(SampleProfile("Second", 3)));
    OnEditDialog([](CConProfEditDlg* editDialog) { FillInAndSave(editDialog, "Mine"); });
    Click(add);
    EXPECT_TRUE(editShown);
    EXPECT_EQ((QStringList{"Added elsewhere", "Second", "Mine"}), Entries());
    EXPECT_EQ(2, SelectedRow());
    EXPECT_EQ((std::vector<std::string>{"Added elsewhere", "Second", "Mine"}), NamesOnDisk());
}
