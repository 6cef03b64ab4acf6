#include "convert/source_checks.h"
#include "tests/support/run_program.h"
#include "tests/support/temp_folder.h"

#include <QMimeDatabase>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

const fs::path kSourceFolder = KORVANTA_SOURCE_DIR;

// The keys of the [Desktop Entry] group.
std::map<std::string, std::string> DesktopEntry(const fs::path& file)
{
    std::map<std::string, std::string> keys;
    std::istringstream in(ReadFile(file));
    for (std::string line; std::getline(in, line);) {
        const auto equals = line.find('=');
        if (equals != std::string::npos)
            keys[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return keys;
}

// Width and height from a PNG's header; zero when it is no PNG.
std::pair<unsigned, unsigned> PngSize(const fs::path& file)
{
    const std::string bytes = ReadFile(file);
    if (bytes.size() < 24 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0 ||
        bytes.compare(12, 4, "IHDR") != 0)
        return {0, 0};
    auto number = [&](std::size_t at) {
        unsigned value = 0;
        for (std::size_t i = 0; i < 4; ++i)
            value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
        return value;
    };
    return {number(16), number(20)};
}

class Installed : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        prefix_ = new TempFolder;
        result_ = new ProgramResult(RunProgram(
            {CMAKE_COMMAND, "--install", KORVANTA_BINARY_DIR, "--prefix", prefix_->Path()}));
    }
    static void TearDownTestSuite()
    {
        delete result_;
        delete prefix_;
    }
    void SetUp() override { ASSERT_EQ(0, result_->status) << result_->out << result_->err; }

    static fs::path Prefix() { return prefix_->Path(); }

    static TempFolder* prefix_;
    static ProgramResult* result_;
};

TempFolder* Installed::prefix_ = nullptr;
ProgramResult* Installed::result_ = nullptr;

} // namespace

TEST_F(Installed, BothProgramsAreInBin)
{
    for (const char* program : {"korvanta", "korvanta-cli"}) {
        const fs::path path = Prefix() / "bin" / program;
        ASSERT_TRUE(fs::is_regular_file(path)) << path;
        EXPECT_NE(fs::perms::none, fs::status(path).permissions() & fs::perms::owner_exec);
    }
}

TEST_F(Installed, TheHelpPagesAreTheSourcePages)
{
    int pages = 0;
    for (const auto& source : fs::directory_iterator(kSourceFolder / "res/help")) {
        const auto extension = source.path().extension();
        if (extension != ".html" && extension != ".css")
            continue;
        pages += extension == ".html";
        const fs::path installed = Prefix() / "share/korvanta/help" / source.path().filename();
        ASSERT_TRUE(fs::is_regular_file(installed)) << installed;
        EXPECT_EQ(ReadFile(source.path()), ReadFile(installed)) << installed;
    }
    EXPECT_EQ(8, pages);
    // Every page takes its look from the one stylesheet beside it.
    EXPECT_TRUE(fs::is_regular_file(Prefix() / "share/korvanta/help/korvanta_help.css"));
}

TEST_F(Installed, TheDesktopEntryNamesTheInstalledProgramAndIcon)
{
    const fs::path entry = Prefix() / "share/applications/korvanta.desktop";
    ASSERT_TRUE(fs::is_regular_file(entry));
    const ProgramResult validation = RunProgram({"/usr/bin/desktop-file-validate", entry});
    EXPECT_EQ(0, validation.status) << validation.out << validation.err;

    const auto keys = DesktopEntry(entry);
    EXPECT_EQ("Application", keys.at("Type"));
    EXPECT_EQ("Korvanta", keys.at("Name"));
    // "Open with" hands the program the one file chosen.
    EXPECT_EQ("korvanta %f", keys.at("Exec"));
    EXPECT_TRUE(fs::is_regular_file(Prefix() / "bin/korvanta"));
    EXPECT_EQ("Office;Presentation;", keys.at("Categories"));
    // "Open with" offers the program for every format it takes.
    const std::string types = keys.at("MimeType");
    const QMimeDatabase mimes;
    for (const std::string& extension : PresentationExtensions()) {
        const std::string type = mimes
                                     .mimeTypeForFile(QString::fromStdString("deck" + extension),
                                                      QMimeDatabase::MatchExtension)
                                     .name()
                                     .toStdString();
        EXPECT_NE(std::string::npos, types.find(type + ";")) << extension << " is " << type;
    }

    const fs::path icon =
        Prefix() / "share/icons/hicolor/256x256/apps" / (keys.at("Icon") + ".png");
    ASSERT_TRUE(fs::is_regular_file(icon)) << icon;
    EXPECT_EQ((std::pair<unsigned, unsigned>{256, 256}), PngSize(icon));
}

TEST_F(Installed, TheManualPagesShowWithoutWarnings)
{
    for (const char* page : {"korvanta.1.gz", "korvanta-cli.1.gz"}) {
        const fs::path installed = Prefix() / "share/man/man1" / page;
        ASSERT_TRUE(fs::is_regular_file(installed)) << installed;
        const ProgramResult shown = RunProgram({"/usr/bin/man", "--warnings", "-l", installed},
                                               {{"MANPAGER", "cat"}, {"LC_ALL", "C.UTF-8"}});
        EXPECT_EQ(0, shown.status) << installed;
        EXPECT_EQ("", shown.err) << installed;
    }
}

TEST_F(Installed, TheCompletionIsWhereBashCompletionLooks)
{
    const fs::path installed = Prefix() / "share/bash-completion/completions/korvanta-cli";
    ASSERT_TRUE(fs::is_regular_file(installed));
    EXPECT_EQ(ReadFile(kSourceFolder / "res/completion/korvanta-cli"), ReadFile(installed));
}

TEST_F(Installed, TheAppStreamMetadataIsValidAndNamesTheDesktopEntry)
{
    const fs::path metainfo = Prefix() / "share/metainfo/com.quorvel.korvanta.metainfo.xml";
    ASSERT_TRUE(fs::is_regular_file(metainfo));
    const ProgramResult validation =
        RunProgram({"/usr/bin/appstreamcli", "validate", "--no-net", metainfo});
    EXPECT_EQ(0, validation.status) << validation.out << validation.err;
    EXPECT_NE(std::string::npos,
              ReadFile(metainfo).find("<launchable type=\"desktop-id\">korvanta.desktop<"));
    EXPECT_TRUE(fs::is_regular_file(Prefix() / "share/applications/korvanta.desktop"));
}

TEST_F(Installed, TheCopyrightAndCompressedChangelogAreInTheDocFolder)
{
    const fs::path folder = Prefix() / "share/doc/korvanta";
    EXPECT_EQ(ReadFile(kSourceFolder / "res/package/copyright"), ReadFile(folder / "copyright"));
    const ProgramResult changelog = RunProgram({"/usr/bin/gzip", "-dc", folder / "changelog.gz"});
    EXPECT_EQ(0, changelog.status);
    EXPECT_EQ(ReadFile(kSourceFolder / "res/package/changelog"), changelog.out);
}
