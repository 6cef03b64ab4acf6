#include "app/shell_open_task.h"
#include "app/version_info_dlg.h"
#include "convert/libreoffice/office_process.h"
#include "platform/string_resources.h"
#include "profiles/con_prof_edit_dlg.h"
#include "profiles/conn_profile_dlg.h"
#include "tests/main_dialog/main_dialog_support.h"
#include "tests/support/desktop_opener.h"
#include "tests/support/test_decks.h"
#include "tests/support/wait_until.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// The controls UpdateControls switches, in the order of its table.
const char* const kSwitched[] = {"1009", "1011", "1016", "1050", "1041", "1042", "1019", "1018"};

class MainDialog : public MainDialogTest
{
protected:
    // Which of the switched controls are enabled, as a row of 0 and 1.
    std::string Switches() const
    {
        std::string row;
        for (const char* id : kSwitched)
            row += Enabled(id) ? '1' : '0';
        return row;
    }

    QStringList DestinationNames() const
    {
        QStringList names;
        for (int i = 0; i < Destinations()->count(); ++i)
            names << Destinations()->itemText(i);
        return names;
    }

    // Adds a destination through Settings: New..., fill in, OK, then Close.
    void AddDestinationInSettings(const QString& name, const QString& location)
    {
        bool shown = false;
        OnNextModal<CConnectProfileDlg>([&](CConnectProfileDlg* list) {
            shown = true;
            OnNextModal<CConProfEditDlg>([&](CConProfEditDlg* edit) {
                QTest::keyClicks(Control<QLineEdit>(edit, "1041"), name);
                QTest::keyClicks(Control<QLineEdit>(edit, "1042"), location);
                Click(Control<QPushButton>(edit, "1"));
            });
            Click(Control<QPushButton>(list, "1046"));
            Click(Control<QPushButton>(list, "2"));
        });
        Click(Button("1050"));
        EXPECT_TRUE(shown);
    }

    // Waits until the dialog's opening in the shell has reported.
    bool Opened(const char* opening) const
    {
        const auto* task = dialog->findChild<ShellOpenTask*>(QString::fromLatin1(opening));
        return task && QTest::qWaitFor([task] { return !task->IsRunning(); }, 20000);
    }

    fs::path MakeDeck(const std::string& name)
    {
        const fs::path deck = work / name;
        fs::copy_file(TestDeck("widescreen.pptx"), deck);
        return deck;
    }
};

const ConnectProfileData kLobby{"Lobby", "ftp://lobby.example.com/screens/", false, "", ""};
const ConnectProfileData kTraining{"Training", "ftp://training.example.com/decks/", false, "", ""};

} // namespace

TEST_F(MainDialog, StartsWithLocalPcAndNothingToDo)
{
    Open({kLobby});
    EXPECT_TRUE(LocalPc()->isChecked());
    EXPECT_FALSE(Server()->isChecked());
    EXPECT_TRUE(Source()->text().isEmpty());
    EXPECT_TRUE(LocalFolder()->text().isEmpty());
    EXPECT_EQ("01101000", Switches()) << "combo and Settings off, both actions off";
    EXPECT_EQ(QStringList{"Lobby"}, DestinationNames()) << "filled, though not in use";

    EXPECT_EQ(Resource(102), dialog->windowTitle());
    EXPECT_EQ(Resource(1003), Control<QGroupBox>(dialog.get(), "1003")->title());
    EXPECT_EQ("Select a conversion source file or drag & drop a file.",
              Control<QLabel>(dialog.get(), "1004")->text());
    EXPECT_EQ(Resource(1048), Button("1016")->text());
    EXPECT_EQ(Resource(1041), Control<QLabel>(dialog.get(), "1042")->text());
    EXPECT_FALSE(dialog->windowIcon().isNull());
    const QPixmap picture = Control<QLabel>(dialog.get(), "dropPicture")->pixmap();
    EXPECT_EQ(QSize(120, 90), picture.size());
    EXPECT_TRUE(picture.hasAlphaChannel());
}

TEST_F(MainDialog, AFolderEnablesDisplayAndASourceEnablesConvert)
{
    Open();
    ChooseLocalFolder(work.Path());
    EXPECT_EQ(QString::fromStdString(work.Path().string()), LocalFolder()->text());
    EXPECT_TRUE(Enabled("1019"));
    EXPECT_FALSE(Enabled("1018")) << "no source yet";

    TypeSource("x");
    EXPECT_TRUE(Enabled("1018")) << "at the first character";
    QTest::keyClick(Source(), Qt::Key_Backspace);
    EXPECT_FALSE(Enabled("1018"));
}

TEST_F(MainDialog, TheFileChooserOffersPresentationsAndCancellingChangesNothing)
{
    Open();
    TypeSource("/kept/as/typed.pptx");
    QStringList filters;
    OnNextModal<QFileDialog>([&](QFileDialog* chooser) {
        filters = chooser->nameFilters();
        chooser->reject();
    });
    Click(Button("1049"));
    ASSERT_EQ(1, filters.size());
    EXPECT_TRUE(filters[0].startsWith("PowerPoint File (*.ppt *.PPT *.pptx *.PPTX "))
        << filters[0].toStdString();
    for (const char* pattern : {"*.pptm", "*.pps", "*.PPSX", "*.pot", "*.potx", "*.potm", "*.odp"})
        EXPECT_TRUE(filters[0].contains(pattern)) << pattern;
    EXPECT_EQ("/kept/as/typed.pptx", Source()->text());

    const fs::path deck = MakeDeck("Quarterly.pptx");
    ChooseSourceFile(deck);
    EXPECT_EQ(QString::fromStdString(deck.string()), Source()->text());
}

TEST_F(MainDialog, ServerModeFollowsTheDestinationsAddedInSettings)
{
    Open();
    TypeSource("/decks/talk.pptx");
    Choose(Server());
    EXPECT_TRUE(Server()->isChecked());
    EXPECT_FALSE(LocalPc()->isChecked());
    EXPECT_EQ("10010100", Switches()) << "no destinations: both actions off";

    AddDestinationInSettings("Lobby", "ftp://lobby.example.com/screens/");
    EXPECT_EQ(QStringList{"Lobby"}, DestinationNames());
    EXPECT_EQ(0, Destinations()->currentIndex());
    EXPECT_EQ(std::vector<std::string>{"Lobby"}, NamesOnDisk());
    EXPECT_EQ("10010111", Switches());

    EraseText(Source());
    EXPECT_EQ("10010110", Switches()) << "Convert&Save needs a source";

    Choose(LocalPc());
    EXPECT_EQ("01101000", Switches()) << "back to Local PC, still without a folder";
}

TEST_F(MainDialog, SettingsHandsBackTheDestinationChosenInItsList)
{
    Open({kLobby, kTraining, SampleProfile("Share", 1)});
    Choose(Server());
    bool shown = false;
    OnNextModal<CConnectProfileDlg>([&](CConnectProfileDlg* list) {
        shown = true;
        ClickRow(Control<QListWidget>(list, "1043"), 2);
        Click(Control<QPushButton>(list, "2"));
    });
    Click(Button("1050"));
    EXPECT_TRUE(shown);
    EXPECT_EQ(2, Destinations()->currentIndex());

    // With nothing chosen there, the first destination.
    OnNextModal<CConnectProfileDlg>([&](CConnectProfileDlg* list) {
        Click(Control<QPushButton>(list, "3"));
        Click(Control<QPushButton>(list, "2"));
    });
    Click(Button("1050"));
    EXPECT_EQ((QStringList{"Lobby", "Training"}), DestinationNames());
    EXPECT_EQ(0, Destinations()->currentIndex());
}

TEST_F(MainDialog, DisplayDestinationOpensTheChosenFolderOrServer)
{
    Open({kLobby, kTraining});
    RecordingOpener opener;
    ChooseLocalFolder(work.Path());
    Click(Button("1019"));
    ASSERT_TRUE(Opened("destinationOpening"));

    Choose(Server());
    Destinations()->setFocus();
    QTest::keyClick(Destinations(), Qt::Key_Down);
    Click(Button("1019"));
    ASSERT_TRUE(Opened("destinationOpening"));
    EXPECT_EQ((std::vector<std::string>{work.Path().string(), kTraining.destination}),
              opener.Opened());

    // A folder that has gone cannot be opened.
    const fs::path gone = work / "gone";
    fs::create_directory(gone);
    Choose(LocalPc());
    ChooseLocalFolder(gone);
    fs::remove(gone);
    ExpectRefusal("1019", 13);
    EXPECT_EQ(2u, opener.Opened().size());
}

TEST_F(MainDialog, TheWindowLivesOnWhileTheDesktopOpensTheDestination)
{
    Open();
    RecordingOpener slowOpener(2s);
    ChooseLocalFolder(work.Path());
    int ticks = 0;
    const Ticker ticker(20ms, [&] { ++ticks; });
    const auto clicked = std::chrono::steady_clock::now();
    Click(Button("1019"));
    EXPECT_LT(std::chrono::steady_clock::now() - clicked, 500ms) << "the click waited";
    // Another click while the first is being opened opens nothing more.
    Click(Button("1019"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !slowOpener.Opened().empty(); }, 20000));
    EXPECT_GT(ticks, 40) << "the timers stood still while the handler ran";
    ASSERT_TRUE(Opened("destinationOpening"));
    EXPECT_EQ(std::vector<std::string>{work.Path().string()}, slowOpener.Opened());
}

TEST_F(MainDialog, ClosingTheWindowLeavesAPendingOpenToTheDesktop)
{
    Open();
    RecordingOpener slowOpener(2s);
    ChooseLocalFolder(work.Path());
    Click(Button("1019"));
    QTest::qWait(300);
    const auto closing = std::chrono::steady_clock::now();
    dialog.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - closing, 1s) << "the close waited for the opener";
    EXPECT_TRUE(WaitUntil([&] { return !slowOpener.Opened().empty(); }, 20s))
        << "the opener was stopped";
}

TEST_F(MainDialog, AFileHandedToTheDialogIsTakenAsADroppedOne)
{
    Open();
    ChooseLocalFolder(work.Path());
    const QString deck = QString::fromStdString((work / "handed over.pptx").string());
    dialog->TakeFile(deck);
    EXPECT_EQ(deck, Source()->text());
    EXPECT_TRUE(Enabled("1018"));
}

TEST_F(MainDialog, DroppingFilesTakesTheFirstOnly)
{
    Open();
    const fs::path first = MakeDeck("first.pptx");
    const fs::path second = MakeDeck("second.pptx");
    const fs::path third = MakeDeck("third.ppt");
    ASSERT_TRUE(DropUrls(dialog.get(), {FileUrl(first), FileUrl(second), FileUrl(third)}));
    EXPECT_EQ(QString::fromStdString(first.string()), Source()->text());

    EXPECT_FALSE(DropUrls(dialog.get(), {QUrl("https://example.com/deck.pptx")}));
    EXPECT_EQ(QString::fromStdString(first.string()), Source()->text());

    // A path longer than the drop buffer comes in cut.
    const std::string longPath = "/" + std::string(600, 'd') + ".pptx";
    ASSERT_TRUE(DropUrls(dialog.get(), {FileUrl(longPath)}));
    EXPECT_EQ(511, Source()->text().size());
}

TEST_F(MainDialog, ADroppedFolderIsTakenAndRefusedAtConvert)
{
    Open();
    ChooseLocalFolder(work.Path());
    const fs::path folder = work / "slides.pptx";
    fs::create_directory(folder);
    ASSERT_TRUE(DropUrls(dialog.get(), {FileUrl(folder)}));
    EXPECT_EQ(QString::fromStdString(folder.string()), Source()->text());
    EXPECT_TRUE(Enabled("1018"));
    ExpectRefusal("1018", 11);
    EXPECT_EQ(QString::fromStdString(folder.string()), Source()->text()) << "kept for a retry";
}

TEST_F(MainDialog, TheSourceIsCheckedByItsNameBeforeItIsOpened)
{
    Open();
    ChooseLocalFolder(work.Path());
    TypeSource(QString::fromStdString((work / "missing-notes.txt").string()));
    ExpectRefusal("1018", 1036);

    EraseText(Source());
    TypeSource(QString::fromStdString((work / "missing.pptx").string()));
    ExpectRefusal("1018", 11);
    EXPECT_EQ(0, office::FindAnyOfficeProcess());
}

TEST_F(MainDialog, AFifoOrANameWithoutAFolderOfItsOwnIsRefusedAtOnce)
{
    Open();
    ChooseLocalFolder(work.Path());
    // Opened the blocking way, the FIFO would freeze the dialog here.
    const fs::path fifo = work / "talk.pptx";
    ASSERT_EQ(0, ::mkfifo(fifo.c_str(), 0600));
    TypeSource(QString::fromStdString(fifo.string()));
    ExpectRefusal("1018", 11);

    EraseText(Source());
    fs::copy_file(TestDeck("widescreen.pptx"), work / "..pptx");
    TypeSource(QString::fromStdString((work / "..pptx").string()));
    ExpectRefusal("1018", 1036);
    EXPECT_EQ(0, office::FindAnyOfficeProcess());
}

TEST_F(MainDialog, AFolderNothingCanBeCreatedInIsRefusedAndLeftEmpty)
{
    Open();
    const fs::path locked = work / "locked";
    fs::create_directory(locked);
    ChooseLocalFolder(locked);
    ChooseSourceFile(MakeDeck("talk.pptx"));
    const Immutable immutable(locked);
    if (!immutable.Holds())
        GTEST_SKIP() << "the file system takes no immutable flag";
    std::error_code error;
    ASSERT_FALSE(fs::create_directory(locked / "try", error)) << "the flag must hold for root too";

    ExpectRefusal("1018", 12);
    EXPECT_TRUE(fs::is_empty(locked));
    EXPECT_TRUE(fs::is_empty(temp.Path())) << "nothing was started";
}

TEST_F(MainDialog, TheSourceTakesAtMost259BytesAsTyped)
{
    Open();
    TypeSource(QString(300, u'a'));
    EXPECT_EQ(259, Source()->text().size());
    EraseText(Source());
    for (int i = 0; i < 200; ++i)
        QTest::sendKeyEvent(QTest::Click, Source(), Qt::Key_Adiaeresis, QStringLiteral("ä"),
                            Qt::NoModifier);
    EXPECT_EQ(129, Source()->text().size()) << "two bytes each";
}

TEST_F(MainDialog, TheHelpMenuHoldsHelpAndTheVersionDialog)
{
    Open();
    const QList<QAction*> menus = dialog->findChild<QMenuBar*>()->actions();
    ASSERT_EQ(1, menus.size());
    EXPECT_EQ(Resource(20), menus[0]->text());
    const QList<QAction*> items = menus[0]->menu()->actions();
    ASSERT_EQ(3, items.size());
    EXPECT_EQ(Resource(18), items[0]->text());
    EXPECT_TRUE(items[1]->isSeparator());
    EXPECT_EQ(Resource(19), items[2]->text());

    bool versionShown = false;
    OnNextModal<CVersionInfoDlg>([&](CVersionInfoDlg* version) {
        versionShown = true;
        version->accept();
    });
    items[2]->trigger();
    EXPECT_TRUE(versionShown);

    // A help page that is not installed shows no message of ours.
    TempFolder noData;
    ScopedEnv data("KORVANTA_DATA_DIR", noData.Path().string());
    MessageBoxLog boxes;
    items[0]->trigger();
    ASSERT_TRUE(Opened("helpOpening"));
    QTest::qWait(100);
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(MainDialog, EnterOutsideAButtonEndsTheDialogAndEscCloses)
{
    Open();
    TypeSource("deck.pptx");
    QTest::keyClick(Source(), Qt::Key_Return);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(QDialog::Accepted, dialog->result());

    dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    EXPECT_EQ("deck.pptx", Source()->text()) << "shown again, not started over";
    QTest::keyClick(Source(), Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(QDialog::Rejected, dialog->result());
}

TEST_F(MainDialog, TabVisitsTheControlsInTheirOrder)
{
    Open({kLobby});
    ChooseLocalFolder(work.Path());
    TypeSource("deck.pptx");
    // The chooser leaves no window active on the offscreen platform.
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    QStringList visited;
    QWidget* focus = Source();
    for (int i = 0; i < 8; ++i) {
        focus = TabFrom(focus);
        ASSERT_NE(nullptr, focus);
        visited << focus->objectName();
    }
    EXPECT_EQ((QStringList{"1049", "1007", "1011", "1016", "1019", "1018", "2", "104"}), visited)
        << "the checked radio button only; disabled controls are skipped";
}

TEST_F(MainDialog, AFailureSpeaksGerman)
{
    ASSERT_TRUE(platform::SelectStringTable(1031));
    struct English
    {
        ~English() { platform::SelectStringTable(platform::kEnglishStringTable); }
    } restore;

    Open();
    EXPECT_NE("&Convert&&Save", Button("1018")->text());
    EXPECT_EQ(Resource(1018), Button("1018")->text());
    ChooseLocalFolder(work.Path());
    TypeSource("notizen.txt");
    MessageBoxLog boxes;
    Click(Button("1018"));
    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ("Eine Datei mit einem nicht unterstützten Format ist ausgewählt.",
              boxes.Boxes()[0].text);
    EXPECT_EQ(Resource(102), boxes.Boxes()[0].caption);
    EXPECT_EQ(QMessageBox::Critical, boxes.Boxes()[0].icon);
}
