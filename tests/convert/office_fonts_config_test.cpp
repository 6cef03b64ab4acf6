#include "convert/libreoffice/office_fonts.h"
#include "tests/support/run_program.h"
#include "tests/support/temp_folder.h"
#include "tests/support/text_lines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fnmatch.h>

namespace fs = std::filesystem;

namespace {

// Our cache folder in a temporary folder of the test's own.
class OfficeFontConfig : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (const char* value = std::getenv("XDG_CACHE_HOME"))
            savedCache = value;
        ::setenv("XDG_CACHE_HOME", (folder / "cache").c_str(), 1);
    }
    void TearDown() override
    {
        if (savedCache.empty())
            ::unsetenv("XDG_CACHE_HOME");
        else
            ::setenv("XDG_CACHE_HOME", savedCache.c_str(), 1);
    }

    TempFolder folder;
    std::string savedCache;
};

std::vector<std::string> FontConfigEntries(const std::vector<std::string>& environment)
{
    std::vector<std::string> entries;
    std::copy_if(environment.begin(), environment.end(), std::back_inserter(entries),
                 [](const std::string& entry) { return entry.starts_with("FONTCONFIG_FILE="); });
    return entries;
}

ProgramResult FontMatch(const fs::path& config, const std::string& pattern)
{
    return RunProgram({"/usr/bin/fc-match", "-f", "%{family[0]}", pattern},
                      {{"FONTCONFIG_FILE", config.string()}});
}

// The font files fontconfig lists for a pattern ("" for all).
std::vector<std::string> FontFiles(const fs::path& config, const std::string& pattern = "")
{
    return Lines(RunProgram({"/usr/bin/fc-list", "-f", "%{file}\n", pattern},
                            {{"FONTCONFIG_FILE", config.string()}})
                     .out);
}

} // namespace

TEST_F(OfficeFontConfig, OfficesGetOurFileInPlaceOfTheConfigurationTheyWouldLoad)
{
    std::vector<std::string> environment = {"PATH=/usr/bin",
                                            "FONTCONFIG_FILE=/home/ann/fonts.conf"};
    office::UseOfficeFonts(environment);

    const fs::path file = folder / "cache/korvanta/office-fonts.conf";
    EXPECT_EQ(file, office::FontConfigFile());
    EXPECT_EQ(std::vector<std::string>{"FONTCONFIG_FILE=" + file.string()},
              FontConfigEntries(environment));
    EXPECT_NE(environment.end(),
              std::find(environment.begin(), environment.end(), "PATH=/usr/bin"));
    // The user's own configuration stays in force, under ours.
    EXPECT_NE(std::string::npos, ReadFile(file).find(">/home/ann/fonts.conf</include>"));

    environment = {"PATH=/usr/bin"};
    office::UseOfficeFonts(environment);
    EXPECT_NE(std::string::npos, ReadFile(file).find(">/etc/fonts/fonts.conf</include>"));
    // Written aside and renamed: nothing but the file is left.
    EXPECT_EQ(1, std::distance(fs::directory_iterator(file.parent_path()), {}));
}

TEST_F(OfficeFontConfig, TheFileIsReadByFontconfigAndMapsEveryAlias)
{
    // A base configuration in a folder whose name XML must escape.
    const fs::path base = folder / "a&b<c>" / "base.conf";
    fs::create_directory(base.parent_path());
    WriteFile(base, "<?xml version=\"1.0\"?><fontconfig><include>/etc/fonts/fonts.conf</include>"
                    "</fontconfig>");
    const fs::path ours = folder / "ours.conf";
    WriteFile(ours, office::FontConfigText(base));

    for (const auto& alias : office::OfficeFontAliases()) {
        const std::string family(alias.family);
        SCOPED_TRACE(family);
        const ProgramResult match = FontMatch(ours, family);
        EXPECT_EQ("", match.err);
        EXPECT_EQ(std::string(alias.face), match.out);
    }
    // The base is really included: the system's own metric aliases hold.
    EXPECT_EQ("Carlito", FontMatch(ours, "Calibri").out);
}

TEST_F(OfficeFontConfig, AnUnwritableCacheLeavesTheEnvironmentAsItWas)
{
    WriteFile(folder / "cache", "a regular file, not a folder");
    std::vector<std::string> environment = {"PATH=/usr/bin",
                                            "FONTCONFIG_FILE=/home/ann/fonts.conf"};
    const std::vector<std::string> before = environment;
    office::UseOfficeFonts(environment);
    EXPECT_EQ(before, environment);
    EXPECT_FALSE(fs::exists(office::FontConfigFile()));
}

TEST_F(OfficeFontConfig, OfFontPackagesOurOfficesSeeOnlyTheFacesTheyDrawWith)
{
    const fs::path ours = folder / "ours.conf";
    WriteFile(ours, office::FontConfigText("/etc/fonts/fonts.conf"));
    const std::vector<std::string> files = FontFiles(ours);
    const auto seen = [&files](std::string_view folder, std::string_view names) {
        const std::string pattern = std::string(folder) + "/" + std::string(names);
        return std::count_if(files.begin(), files.end(), [&pattern](const std::string& file) {
            return ::fnmatch(pattern.c_str(), file.c_str(), 0) == 0;
        });
    };
    for (const auto& added : office::AddedFontFolders()) {
        SCOPED_TRACE(added.folder);
        long shown = 0;
        for (const auto names : added.shown) {
            EXPECT_LT(0, seen(added.folder, names)) << names;
            shown += seen(added.folder, names);
        }
        EXPECT_EQ(shown, seen(added.folder, "*"));
    }
    for (const auto family : office::HiddenFontFamilies()) {
        SCOPED_TRACE(family);
        EXPECT_FALSE(FontFiles("/etc/fonts/fonts.conf", std::string(family)).empty());
        EXPECT_TRUE(FontFiles(ours, std::string(family)).empty());
    }
}
