#include "log/debug_log.h"
#include "log/log_switch.h"
#include "tests/support/child_process.h"
#include "tests/support/temp_folder.h"
#include "tests/support/text_lines.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::string kTime = R"("\d{4}/\d{2}/\d{2} \d{2}:\d{2}:\d{2}")";

} // namespace

TEST(DebugLog, WritesEachKindOfLineInItsLayout)
{
    TempFolder folder;
    const fs::path file = folder / "Korvanta.log";
    ASSERT_EQ(0, RunInChild([&] {
                  LogInit(3, file.string());
                  LogStart("ConvertController::ConvertionStart");
                  LogEnd("ConvertController::ConvertionStart");
                  LogEnd("fnjgConvetPptToJpeg", 427);
                  LogError("fnsdExecuteSending", "Invalid parameter.");
                  LogError("F", "code %d", 23);
                  LogInfo("fnsdExecuteCopying", " Copy:Dst[%sw]", "/tmp/a,\"b\"");
                  return 0;
              }));

    const std::string text = ReadFile(file);
    EXPECT_EQ(std::string::npos, text.find('\r'));
    const auto lines = Lines(text);
    ASSERT_EQ(6u, lines.size());
    const std::vector<std::string> expected = {
        kTime + R"(,"ConvertController::ConvertionStart","Start")",
        kTime + R"(,"ConvertController::ConvertionStart","End")",
        kTime + R"(,"fnjgConvetPptToJpeg","End","Line = 427")",
        kTime + R"(,"fnsdExecuteSending","\[Error\]","Invalid parameter\.")",
        kTime + R"(,"F","\[Error\]","code 23")",
        // Quotes and commas inside a field are written as they are.
        kTime + R"(,"fnsdExecuteCopying","\[Info\]"," Copy:Dst\[/tmp/a,"b"w\]")",
    };
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_TRUE(std::regex_match(lines[i], std::regex(expected[i]))) << lines[i];
}

TEST(DebugLog, AppendsAfterExistingLines)
{
    TempFolder folder;
    const fs::path file = folder / "Korvanta.log";
    WriteFile(file, "\"earlier\",\"run\",\"Start\"\n");
    ASSERT_EQ(0, RunInChild([&] {
                  LogInit(3, file.string());
                  LogStart("Again");
                  return 0;
              }));
    const auto lines = Lines(ReadFile(file));
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ("\"earlier\",\"run\",\"Start\"", lines[0]);
    EXPECT_TRUE(std::regex_match(lines[1], std::regex(kTime + R"(,"Again","Start")")));
}

TEST(DebugLog, LevelZeroCreatesNoFile)
{
    TempFolder folder;
    const fs::path file = folder / "Korvanta.log";
    ASSERT_EQ(0, RunInChild([&] {
                  LogInit(0, file.string());
                  LogStart("F");
                  LogError("F", "failed");
                  LogInfo("F", "info");
                  return 0;
              }));
    EXPECT_FALSE(fs::exists(file));
}

TEST(DebugLog, SwitchedOffLeavesTheApplicationFolderAlone)
{
    TempFolder folder;
    ASSERT_EQ(0, RunInChild([&] {
                  ::setenv("XDG_CONFIG_HOME", folder.Path().c_str(), 1);
                  StartDebugLog(0);
                  LogError("F", "failed");
                  return 0;
              }));
    EXPECT_TRUE(fs::is_empty(folder.Path()));
}

TEST(DebugLog, SwitchedOnWritesIntoTheApplicationFolder)
{
    TempFolder folder;
    ASSERT_EQ(0, RunInChild([&] {
                  ::setenv("XDG_CONFIG_HOME", folder.Path().c_str(), 1);
                  StartDebugLog(3);
                  LogStart("F");
                  return 0;
              }));
    const fs::path file = folder / "korvanta/Korvanta.log";
    EXPECT_EQ(1u, Lines(ReadFile(file)).size());
    EXPECT_EQ(fs::perms::owner_all, fs::status(file.parent_path()).permissions() & fs::perms::all);
}

TEST(DebugLog, ErrorLevelWritesNoTraceLines)
{
    TempFolder folder;
    const fs::path file = folder / "Korvanta.log";
    ASSERT_EQ(0, RunInChild([&] {
                  LogInit(1, file.string());
                  LogStart("F");
                  LogEnd("F", 3);
                  LogError("F", "kept");
                  return 0;
              }));
    const auto lines = Lines(ReadFile(file));
    ASSERT_EQ(1u, lines.size());
    EXPECT_NE(std::string::npos, lines[0].find("\"kept\""));
}

TEST(DebugLog, OnlyTheFirstInitOpensAndLaterOnesSetTheLevel)
{
    TempFolder folder;
    const fs::path first = folder / "first.log";
    const fs::path second = folder / "second.log";
    ASSERT_EQ(0, RunInChild([&] {
                  LogInit(3, first.string());
                  LogStart("before");
                  LogInit(3, second.string());
                  LogStart("still first");
                  LogInit(0, second.string());
                  LogStart("off");
                  return 0;
              }));
    EXPECT_FALSE(fs::exists(second));
    const auto lines = Lines(ReadFile(first));
    ASSERT_EQ(2u, lines.size());
    EXPECT_NE(std::string::npos, lines[1].find("still first"));
}

TEST(DebugLog, InfoReplacesInvalidUtf8)
{
    TempFolder folder;
    const fs::path file = folder / "Korvanta.log";
    ASSERT_EQ(0, RunInChild([&] {
                  LogInit(3, file.string());
                  LogInfo("F", "Src[%s]", "Pr\xC3\xA4sentation-\xFF.pptx");
                  return 0;
              }));
    EXPECT_NE(std::string::npos, ReadFile(file).find("\"Src[Pr\xC3\xA4sentation-?.pptx]\""));
}

TEST(DebugLog, TwoThreadsWriteWholeLines)
{
    TempFolder folder;
    const fs::path file = folder / "Korvanta.log";
    constexpr int kLinesPerThread = 3000;
    ASSERT_EQ(0, RunInChild([&] {
                  LogInit(3, file.string());
                  const std::string padding(300, 'x');
                  auto writer = [&](const char* name) {
                      for (int i = 0; i < kLinesPerThread; ++i)
                          LogInfo(name, "%d %s", i, padding.c_str());
                  };
                  std::thread a(writer, "A");
                  std::thread b(writer, "B");
                  a.join();
                  b.join();
                  return 0;
              }));
    const auto lines = Lines(ReadFile(file));
    ASSERT_EQ(2u * kLinesPerThread, lines.size());
    const std::regex whole(kTime + R"(,"[AB]","\[Info\]","\d+ x{300}")");
    int nextA = 0;
    int nextB = 0;
    for (const auto& line : lines) {
        ASSERT_TRUE(std::regex_match(line, whole)) << line.substr(0, 80);
        // Each thread's lines appear in the order it wrote them.
        int& next = line[23] == 'A' ? nextA : nextB;
        EXPECT_EQ(next++, std::stoi(line.substr(line.find("\"[Info]\",\"") + 10)));
    }
}

TEST(DebugLog, UnwritableFolderMeansNoLogAndNormalRun)
{
    TempFolder folder;
    WriteFile(folder / "blocker", "a regular file");
    ASSERT_EQ(7, RunInChild([&] {
                  // The configuration folder lies below a regular file: even root cannot
                  // create it.
                  ::setenv("XDG_CONFIG_HOME", (folder / "blocker/config").c_str(), 1);
                  StartDebugLog(3);
                  LogStart("F");
                  LogError("F", "lost");
                  return 7;
              }));
    EXPECT_EQ("a regular file", ReadFile(folder / "blocker"));
}

TEST(DebugLog, FailedWritesAreSilent)
{
    if (!fs::exists("/dev/full"))
        GTEST_SKIP() << "/dev/full is missing";
    ASSERT_EQ(9, RunInChild([&] {
                  LogInit(3, "/dev/full");
                  for (int i = 0; i < 100; ++i)
                      LogInfo("F", "line %d", i);
                  return 9;
              }));
}
