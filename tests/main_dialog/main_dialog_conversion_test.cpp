#include "app/office_prewarm.h"
#include "app/processing_dlg.h"
#include "convert/libreoffice/office_process.h"
#include "tests/main_dialog/main_dialog_support.h"
#include "tests/support/jpeg_info.h"
#include "tests/support/our_offices.h"
#include "tests/support/test_decks.h"

#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

class MainDialogConversion : public MainDialogTest
{
protected:
    void TearDown() override
    {
        MainDialogTest::TearDown();
        EXPECT_EQ(0, office::FindAnyOfficeProcess()) << "an office was left running";
    }

    // Starts Convert&Save for a test deck into the target folder.
    void Convert(const std::string& deck)
    {
        fs::create_directory(target);
        ChooseLocalFolder(target);
        ChooseSourceFile(TestDeck(deck));
        Click(Button("1018"));
    }

    std::vector<std::string> Entries(const fs::path& folder) const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    int SlidesWritten() const
    {
        int images = 0;
        std::error_code error;
        for (auto it = fs::recursive_directory_iterator(temp.Path(), error);
             it != fs::recursive_directory_iterator(); it.increment(error))
            images += it->path().extension() == ".jpg";
        return images;
    }

    CProcessingDlg* Processing() const { return dialog->findChild<CProcessingDlg*>(); }

    // Beside the temporary-files folder, not in it.
    const fs::path target = work / "target";
};

using Names = std::vector<std::string>;

} // namespace

TEST_F(MainDialogConversion, ConvertsADeckAndReportsSuccess)
{
    Open();
    MessageBoxLog boxes;
    QProgressBar* bar = Processing()->findChild<QProgressBar*>(QStringLiteral("1054"));
    std::vector<std::pair<int, int>> shown; // value, maximum
    QObject::connect(bar, &QProgressBar::valueChanged,
                     [&](int value) { shown.emplace_back(value, bar->maximum()); });
    Convert("widescreen.pptx");

    // Two slides exported, then two images delivered, of four steps.
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(std::make_pair(4, 4), shown.back());
    EXPECT_TRUE(std::any_of(shown.begin(), shown.end(),
                            [](const auto& step) { return step == std::make_pair(2, 4); }));

    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ(QMessageBox::Information, boxes.Boxes()[0].icon);
    EXPECT_EQ(Resource(1047), boxes.Boxes()[0].text);
    EXPECT_EQ(Resource(102), boxes.Boxes()[0].caption);

    EXPECT_EQ(Names{"widescreen"}, Entries(target)) << "no probe folder left";
    const Names images = Entries(target / "widescreen");
    EXPECT_EQ((Names{"slide1.jpg", "slide2.jpg"}), images);
    for (const std::string& image : images) {
        const JpegSize size = ReadJpegSize(target / "widescreen" / image);
        EXPECT_EQ(1280, size.width);
        EXPECT_EQ(800, size.height);
    }
    EXPECT_TRUE(fs::is_empty(temp.Path())) << "the working folder is removed";
    EXPECT_TRUE(dialog->isEnabled());
    EXPECT_EQ(QString::fromStdString(fs::canonical(TestDeck("widescreen.pptx")).string()),
              Source()->text())
        << "ready to run again";
}

TEST_F(MainDialogConversion, CancelDuringTheExportEndsSilently)
{
    Open();
    bool cancelled = false;
    int slidesAtCancel = 0;
    // Cancel once the first slide image is written into the working folder.
    Ticker user(std::chrono::milliseconds(20), [&] {
        if (!cancelled && Processing()->isVisible() && SlidesWritten() > 0) {
            cancelled = true;
            slidesAtCancel = SlidesWritten();
            Click(Processing()->findChild<QPushButton*>(QStringLiteral("2")));
        }
    });
    MessageBoxLog boxes;
    Convert("office-families.pptx");

    EXPECT_TRUE(cancelled);
    EXPECT_LT(slidesAtCancel, 20) << "cancelled only after the export";
    EXPECT_TRUE(boxes.Boxes().empty()) << "a cancelled run shows no message";
    EXPECT_TRUE(fs::is_empty(target));
    EXPECT_TRUE(fs::is_empty(temp.Path())) << "no working folder left";
    EXPECT_TRUE(dialog->isEnabled());
}

TEST_F(MainDialogConversion, OfficesStartedWithTheProgramServeTheFirstConversionAndEndWithIt)
{
    {
        const OfficePrewarm offices;
        Open();
        ASSERT_TRUE(QTest::qWaitFor([] { return OwnOffice(0) != 0; }, 60000))
            << "no office started with the dialog";
        const pid_t warm = OwnOffice(0);
        MessageBoxLog boxes;
        Convert("widescreen.pptx");
        ASSERT_EQ(1u, boxes.Boxes().size());
        EXPECT_EQ(Resource(1047), boxes.Boxes()[0].text);
        EXPECT_EQ(warm, OwnOffice(0)) << "the conversion did not use, or quit, the warm office";
    }
    EXPECT_EQ(0, office::FindAnyOfficeProcess()) << "the offices outlived the program";
}
