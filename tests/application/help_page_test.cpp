#include "app/help_page.h"
#include "platform/string_resources.h"
#include "tests/support/desktop_opener.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const fs::path kBuildDataFolder = KORVANTA_BUILD_DATA_DIR;

// Sets an environment variable while it lives.
class ScopedVariable
{
public:
    ScopedVariable(const char* name, const std::string& value) : name_(name)
    {
        if (const char* old = std::getenv(name))
            old_ = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedVariable()
    {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

// The recording handler also takes web pages, and the tests run somewhere
// else than the data folder, so that only the program's own resolution can
// find the pages.
class HelpPage : public testing::Test
{
protected:
    HelpPage()
    {
        fs::create_directories(elsewhere_ / "config");
        WriteFile(elsewhere_ / "config/mimeapps.list",
                  "[Default Applications]\ntext/html=korvanta-recorder.desktop\n");
        previousFolder_ = fs::current_path();
        fs::current_path(elsewhere_.Path());
    }
    ~HelpPage() override
    {
        fs::current_path(previousFolder_);
        platform::SelectStringTable(platform::kEnglishStringTable);
    }

    RecordingOpener opener_;
    TempFolder elsewhere_;
    ScopedVariable configHome_{"XDG_CONFIG_HOME", (elsewhere_ / "config").string()};
    ScopedVariable dataFolder_{"KORVANTA_DATA_DIR", kBuildDataFolder.string()};
    fs::path previousFolder_;
};

} // namespace

TEST_F(HelpPage, OpensThePageOfTheActiveLanguageFromTheDataFolder)
{
    ASSERT_TRUE(platform::SelectStringTable(platform::kEnglishStringTable));
    EXPECT_TRUE(OpenHelpPage());
    ASSERT_TRUE(platform::SelectStringTable(1031));
    EXPECT_TRUE(OpenHelpPage());

    const std::vector<std::string> expected{
        (kBuildDataFolder / "help/korvanta_help_eng.html").string(),
        (kBuildDataFolder / "help/korvanta_help_deu.html").string()};
    EXPECT_EQ(expected, opener_.Opened());
}

TEST_F(HelpPage, NothingIsOpenedWithoutAPathToOpen)
{
    platform::UseStringTable({{18, "&Help"}}, 9);
    EXPECT_FALSE(OpenHelpPage());
    EXPECT_TRUE(opener_.Opened().empty());
}

TEST_F(HelpPage, AMissingPageIsReportedToTheCallerOnly)
{
    ScopedVariable emptyData("KORVANTA_DATA_DIR", (elsewhere_ / "nothing-installed").string());
    ASSERT_TRUE(platform::SelectStringTable(platform::kEnglishStringTable));
    EXPECT_FALSE(OpenHelpPage());
    EXPECT_TRUE(opener_.Opened().empty());
}
