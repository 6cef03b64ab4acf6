#include "convert/libreoffice/office_fonts.h"
#include "tests/support/run_program.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

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
