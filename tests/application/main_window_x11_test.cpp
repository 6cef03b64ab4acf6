// The desktop program under a real X server (run under xvfb-run): what the
// window manager is told about its main window, and that Esc ends it with
// its offices.

#include "tests/support/our_offices.h"
#include "tests/support/run_program.h"
#include "tests/support/user_session.h"
#include "tests/support/wait_until.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// Motif hints: which fields count, then the window functions and the
// decorations the window asks for.
constexpr unsigned long kFunctionsGiven = 0x1;
constexpr unsigned long kDecorationsGiven = 0x2;
constexpr unsigned long kAllOrMinimise = 0x1 | 0x8;
constexpr unsigned long kAllOrMinimiseBox = 0x1 | 0x20;

std::string RunTool(const std::vector<std::string>& command)
{
    const ProgramResult result = RunProgram(command);
    EXPECT_EQ(0, result.status) << command.front() << ": " << result.err;
    return result.out;
}

std::string Property(const std::string& window, const char* name)
{
    return RunTool({"/usr/bin/xprop", "-id", window, name});
}

bool Ended(pid_t pid)
{
    siginfo_t info{};
    return ::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == pid;
}

} // namespace

TEST(MainWindowUnderX11, IsANormalWindowWithAMinimiseBoxAndEscEndsTheProgram)
{
    ASSERT_NE(nullptr, std::getenv("DISPLAY")) << "run under xvfb-run";
    // The display is the one xvfb-run set.
    const UserSession session("xcb");
    RunningProgram program({KORVANTA_PROGRAM}, session.Environment());

    std::string window = RunTool({"/usr/bin/timeout", "60", "/usr/bin/xdotool", "search", "--sync",
                                  "--onlyvisible", "--name", "^QUORVEL Korvanta Type A$"});
    window = window.substr(0, window.find('\n'));
    ASSERT_FALSE(window.empty()) << "the main window never showed";

    EXPECT_EQ("_NET_WM_WINDOW_TYPE(ATOM) = _NET_WM_WINDOW_TYPE_NORMAL\n",
              Property(window, "_NET_WM_WINDOW_TYPE"));
    EXPECT_EQ("WM_TRANSIENT_FOR:  not found.\n", Property(window, "WM_TRANSIENT_FOR"));
    EXPECT_EQ(std::string::npos, Property(window, "_NET_WM_STATE").find("MODAL"));

    unsigned long given = 0;
    unsigned long functions = 0;
    unsigned long decorations = 0;
    const std::string hints = Property(window, "_MOTIF_WM_HINTS");
    ASSERT_EQ(3, std::sscanf(hints.c_str(), "_MOTIF_WM_HINTS(_MOTIF_WM_HINTS) = %lx, %lx, %lx",
                             &given, &functions, &decorations))
        << hints;
    EXPECT_TRUE(!(given & kFunctionsGiven) || (functions & kAllOrMinimise)) << hints;
    EXPECT_TRUE(!(given & kDecorationsGiven) || (decorations & kAllOrMinimiseBox)) << hints;

    // Closed once its offices run, so that their end is seen too.
    EXPECT_TRUE(WaitUntil([&] { return AnyOfficeOfCacheFolder(session.Cache()) != 0; }, 60s));
    RunTool({"/usr/bin/xdotool", "windowfocus", "--sync", window});
    RunTool({"/usr/bin/xdotool", "key", "Escape"});
    if (!WaitUntil([&] { return Ended(program.Pid()); }, 20s)) {
        ADD_FAILURE() << "Esc did not end the program";
        program.Signal(SIGTERM);
    }
    EXPECT_EQ(0, program.Finish().status);
    EXPECT_TRUE(WaitUntil([&] { return AnyOfficeOfCacheFolder(session.Cache()) == 0; }, 20s))
        << "an office outlived the program";
}
