#include "convert/pptx_slide_count.h"
#include "tests/support/shared_files.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_decks.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

std::string ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void WriteBytes(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

} // namespace

TEST(PptxSlideCount, CountsTheSlideParts)
{
    // A hidden slide is a slide part too.
    const std::pair<const char*, int> decks[] = {
        {"widescreen.pptx", 2}, {"standard.pptx", 9}, {"office-families.pptx", 20}};
    for (const auto& [deck, slides] : decks)
        EXPECT_EQ(slides, CountPptxSlides(TestDeck(deck).string())) << deck;
}

TEST(PptxSlideCount, CountsTheSlidePartsOfRealPackages)
{
    REQUIRE_SHARED("decks");
    const std::pair<const char*, int> decks[] = {
        {"SampleShow.pptx", 2}, {"aptia.pptx", 9},     {"themes.pptx", 10},
        {"testPPT.pptm", 3},    {"no-slides.pptx", 0}, {"alterman_security.pptx", 23},
        {"customGeo.pptx", 48}};
    for (const auto& [deck, slides] : decks)
        EXPECT_EQ(slides, CountPptxSlides(SharedDeck(deck).string())) << deck;
}

TEST(PptxSlideCount, FindsTheDirectoryBehindAnArchiveComment)
{
    TempFolder folder;
    std::string bytes = ReadBytes(TestDeck("standard.pptx"));
    ASSERT_GT(bytes.size(), 22u);
    // The end record's comment length is its last field; a comment follows.
    const std::string comment(300, 'c');
    bytes[bytes.size() - 2] = static_cast<char>(comment.size() & 0xFF);
    bytes[bytes.size() - 1] = static_cast<char>(comment.size() >> 8);
    WriteBytes(folder / "commented.pptx", bytes + comment);
    EXPECT_EQ(9, CountPptxSlides((folder / "commented.pptx").string()));
}

TEST(PptxSlideCount, GivesNoCountForWhatIsNoReadablePackage)
{
    TempFolder folder;
    const std::string deck = ReadBytes(TestDeck("standard.pptx"));
    WriteBytes(folder / "empty.pptx", "");
    WriteBytes(folder / "head.pptx", deck.substr(0, deck.size() / 2));
    // The end record survives, the directory it points to does not.
    WriteBytes(folder / "no-directory.pptx", deck.substr(deck.size() - 22));
    ASSERT_EQ(0, ::mkfifo((folder / "fifo.pptx").c_str(), 0600));
    fs::create_directory(folder / "folder.pptx");

    for (const char* name : {"empty.pptx", "head.pptx", "no-directory.pptx", "fifo.pptx",
                             "folder.pptx", "missing.pptx"})
        EXPECT_EQ(std::nullopt, CountPptxSlides((folder / name).string())) << name;
    EXPECT_EQ(std::nullopt, CountPptxSlides(TestDeck("standard.ppt").string()));
}
