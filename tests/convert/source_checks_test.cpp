#include "convert/result_codes.h"
#include "convert/source_checks.h"
#include "tests/support/child_process.h"
#include "tests/support/open_descriptors.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

TEST(CheckPptExtension, AcceptsEveryPresentationFormatInAnyCase)
{
    EXPECT_EQ(RESULT_SUCCESS, fnjgCheckPptExtension("/decks/Talk.ppt"));
    EXPECT_EQ(RESULT_SUCCESS, fnjgCheckPptExtension("/decks/Talk.PPTX"));
    EXPECT_EQ(RESULT_SUCCESS, fnjgCheckPptExtension("Plan.final.pPtX"));
    for (const char* extension :
         {"pptm", "PPTM", "pps", "PpS", "ppsx", "PPSX", "pot", "POT", "potx", "potm", "odp", "ODP"})
        EXPECT_EQ(RESULT_SUCCESS, fnjgCheckPptExtension(std::string("/decks/Talk.") + extension))
            << extension;
}

TEST(CheckPptExtension, RefusesEverythingElse)
{
    EXPECT_EQ(RESULT_MISSING_ARGUMENT, fnjgCheckPptExtension(""));
    for (const char* extension : {"pdf", "key", "odt", "pptxx", "pp", "otp", "fodp", "ppt~"})
        EXPECT_EQ(RESULT_UNSUPPORTED_FORMAT,
                  fnjgCheckPptExtension(std::string("/decks/Talk.") + extension))
            << extension;
    EXPECT_EQ(RESULT_UNSUPPORTED_FORMAT, fnjgCheckPptExtension("/decks/Talk.ppt.bak"));
    EXPECT_EQ(RESULT_UNSUPPORTED_FORMAT, fnjgCheckPptExtension("/decks/Talk"));
    // The last dot of the whole path counts, even in a folder name.
    EXPECT_EQ(RESULT_UNSUPPORTED_FORMAT, fnjgCheckPptExtension("/decks/old.ppt/Talk"));
    EXPECT_EQ(RESULT_UNSUPPORTED_FORMAT, fnjgCheckPptExtension("/decks/Talk.pptx "));
    // Only an extension: no name for the image folder.
    EXPECT_EQ(RESULT_UNSUPPORTED_FORMAT, fnjgCheckPptExtension("/decks/.pptx"));
    EXPECT_EQ(RESULT_UNSUPPORTED_FORMAT, fnjgCheckPptExtension(".PPT"));
    EXPECT_EQ(RESULT_SUCCESS, fnjgCheckPptExtension("/decks/.hidden/x.ppt"));
}

TEST(CheckPptExtension, NamesThatWouldNotGiveAFolderOfTheirOwnAreRefused)
{
    // Their image folder would be the working folder itself, or its parent.
    for (const char* path : {"/decks/...ppt", "/decks/..pptx", "...PPTX", "..ppt", "/decks/.ppt",
                             "/decks/a\\..pptx", "C:\\decks\\Talk.pptx"})
        EXPECT_EQ(RESULT_UNSUPPORTED_FORMAT, fnjgCheckPptExtension(path)) << path;
    for (const char* path :
         {"/decks/. .pptx", "/decks/a..pptx", "/decks/....x.ppt", "-rf.pptx",
          "/decks/line\nbreak.pptx", "/decks/$x;|&'\"q\".pptx", "/decks/Über 日本.pptx"})
        EXPECT_EQ(RESULT_SUCCESS, fnjgCheckPptExtension(path)) << path;
}

TEST(CheckFileOpen, ReadableMissingAndFolders)
{
    TempFolder folder;
    WriteFile(folder / "Talk.pptx", "deck");
    fs::create_directory(folder / "Folder.pptx");
    WriteFile(folder / "file", "x");

    EXPECT_EQ(RESULT_SUCCESS, fnjgCheckFileOpen((folder / "Talk.pptx").string()));
    EXPECT_EQ(RESULT_MISSING_ARGUMENT, fnjgCheckFileOpen(""));
    EXPECT_EQ(RESULT_FILE_NOT_FOUND, fnjgCheckFileOpen((folder / "Missing.pptx").string()));
    EXPECT_EQ(RESULT_FILE_NOT_OPENED, fnjgCheckFileOpen((folder / "Folder.pptx").string()));
    EXPECT_EQ(RESULT_FILE_NOT_OPENED, fnjgCheckFileOpen((folder / "file/Talk.pptx").string()));
}

TEST(CheckFileOpen, FileWithoutReadPermission)
{
    TempFolder folder;
    fs::permissions(folder.Path(),
                    fs::perms::owner_all | fs::perms::others_exec | fs::perms::group_exec);
    const fs::path readable = folder / "Readable.pptx";
    const fs::path locked = folder / "Locked.pptx";
    WriteFile(readable, "deck");
    WriteFile(locked, "deck");
    fs::permissions(readable,
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::permissions(locked, fs::perms::none);

    // Run as an unprivileged user: root reads through permission bits.
    EXPECT_EQ(RESULT_SUCCESS, RunAsUnprivileged([&] { return fnjgCheckFileOpen(readable); }));
    EXPECT_EQ(RESULT_FILE_NOT_OPENED, RunAsUnprivileged([&] { return fnjgCheckFileOpen(locked); }));
}

TEST(CheckFileOpen, SpecialFilesNamedLikeADeckFailAtOnce)
{
    TempFolder folder;
    const fs::path fifo = folder / "fifo.pptx";
    ASSERT_EQ(0, ::mkfifo(fifo.c_str(), 0600));
    const ListeningUnixSocket socket((folder / "socket.pptx").string());
    fs::create_symlink("/dev/zero", folder / "device.pptx");
    fs::create_directory(folder / "folder.pptx");

    // A check that waited would be ended by the alarm: -1, not 15.
    for (const char* name : {"fifo.pptx", "socket.pptx", "device.pptx", "folder.pptx"}) {
        const std::string path = (folder / name).string();
        EXPECT_EQ(RESULT_FILE_NOT_OPENED, RunInChild([&] {
                      ::alarm(5);
                      return fnjgCheckFileOpen(path);
                  }))
            << name;
    }
}

TEST(ResultToStringId, EachCodeHasItsMessage)
{
    EXPECT_EQ(1047, ResultToStringId(RESULT_SUCCESS));
    EXPECT_EQ(0, ResultToStringId(RESULT_CANCELLED));
    for (int code : {10, 13, 15})
        EXPECT_EQ(11, ResultToStringId(code)) << code;
    for (int code : {12, 14})
        EXPECT_EQ(1036, ResultToStringId(code)) << code;
    EXPECT_EQ(12, ResultToStringId(17));
    for (int code : {20, 21, 22, 23})
        EXPECT_EQ(9, ResultToStringId(code)) << code;
    EXPECT_EQ(13, ResultToStringId(30));
    for (int code : {11, 18, 2, 99, -1})
        EXPECT_EQ(10, ResultToStringId(code)) << code;
}
