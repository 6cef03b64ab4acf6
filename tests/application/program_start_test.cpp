#include "tests/support/child_process.h"
#include "tests/support/our_offices.h"
#include "tests/support/run_program.h"
#include "tests/support/user_session.h"
#include "tests/support/wait_until.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

std::vector<std::string> Command(std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), KORVANTA_PROGRAM);
    return arguments;
}

// Sends a raise request to the instance listening at the socket, as a second
// start does, and waits for its answer. True when it answered that its
// dialog was brought forward.
bool AskToComeForward(const fs::path& socket)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socket.c_str(), sizeof address.sun_path - 1);
    std::string reply;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::write(fd, "raise\n", 6) == 6) {
        pollfd wait{fd, POLLIN, 0};
        char buffer[64];
        while (reply.find('\n') == std::string::npos && ::poll(&wait, 1, 5000) > 0) {
            const ssize_t count = ::read(fd, buffer, sizeof buffer);
            if (count <= 0)
                break;
            reply.append(buffer, static_cast<std::size_t>(count));
        }
    }
    ::close(fd);
    return reply == "raised\n";
}

// Starts the program and returns once its main dialog answers at the socket.
std::unique_ptr<RunningProgram> StartAndWait(const std::vector<std::string>& arguments,
                                             const std::map<std::string, std::string>& environment,
                                             const fs::path& socket)
{
    auto program = std::make_unique<RunningProgram>(Command(arguments), environment);
    for (int attempt = 0; attempt < 600; ++attempt) {
        if (AskToComeForward(socket))
            return program;
        std::this_thread::sleep_for(50ms);
    }
    ADD_FAILURE() << "the program never answered at " << socket;
    return program;
}

std::unique_ptr<RunningProgram> StartAndWait(const UserSession& session,
                                             const std::vector<std::string>& arguments)
{
    return StartAndWait(arguments, session.Environment(), session.Socket());
}

void Stop(std::unique_ptr<RunningProgram>& program)
{
    program->Signal(SIGTERM);
    program->Finish();
    program.reset();
}

// The log's lines, less those of the offices starting in the background.
std::vector<std::string> LogLines(const UserSession& session)
{
    std::vector<std::string> lines;
    std::ifstream in(session.Log());
    const auto ofTheOffices = [](const std::string& line) {
        for (const char* function :
             {"\"actCheckPptRunning\"", "\"ConnectToOffice\"", "\"LibreOfficeServer::"})
            if (line.find(function) != std::string::npos)
                return true;
        return false;
    };
    for (std::string line; std::getline(in, line);) {
        if (!ofTheOffices(line))
            lines.push_back(line);
    }
    return lines;
}

} // namespace

TEST(ProgramStart, ASecondStartEndsSilentlyAndBringsTheFirstForward)
{
    UserSession session;
    auto first = StartAndWait(session, {"-LOG"});
    const std::size_t before = LogLines(session).size();
    ASSERT_GT(before, 0u);

    const ProgramResult second = RunProgram(Command({"-LOG"}), session.Environment());
    EXPECT_EQ(0, second.status);
    EXPECT_EQ("", second.out);
    EXPECT_EQ("", second.err);

    // The first instance logs the request it served; the second wrote nothing.
    std::vector<std::string> added;
    for (int attempt = 0; attempt < 200 && added.size() < 3; ++attempt) {
        std::this_thread::sleep_for(50ms);
        const auto lines = LogLines(session);
        added.assign(lines.begin() + static_cast<long>(before), lines.end());
    }
    ASSERT_EQ(3u, added.size());
    EXPECT_NE(std::string::npos, added[0].find("\"CKorvantaApp::BringForward\",\"Start\""));
    EXPECT_NE(
        std::string::npos,
        added[1].find("\"CKorvantaApp::BringForward\",\"[Info]\",\"QUORVEL Korvanta Type A\""));
    EXPECT_NE(std::string::npos, added[2].find("\"CKorvantaApp::BringForward\",\"End\""));

    EXPECT_TRUE(AskToComeForward(session.Socket()));
    Stop(first);
}

TEST(ProgramStart, ASocketLeftByAKilledInstanceDoesNotBlockTheNextStart)
{
    UserSession session;
    auto crashed = StartAndWait(session, {});
    crashed->Signal(SIGKILL);
    crashed->Finish();
    ASSERT_TRUE(fs::exists(session.Socket()));
    EXPECT_FALSE(AskToComeForward(session.Socket()));

    auto next = StartAndWait(session, {});
    EXPECT_TRUE(AskToComeForward(session.Socket()));
    const ProgramResult second = RunProgram(Command({}), session.Environment());
    EXPECT_EQ(0, second.status);
    EXPECT_EQ("", second.out + second.err);
    Stop(next);
}

TEST(ProgramStart, OnlyTheSwitchAloneTurnsTheLogOn)
{
    const std::vector<std::pair<std::vector<std::string>, bool>> cases{
        {{"-LOG"}, true},          {{"-log"}, true},
        {{"-Log"}, true},          {{}, false},
        {{"-LOG", "-LOG"}, false}, {{"-LOG", "x"}, false},
        {{"-LOG -LOG"}, false},    {{"/LOG"}, false},
        {{"-LOG "}, false},
    };
    for (const auto& [arguments, logged] : cases) {
        UserSession session;
        auto program = StartAndWait(session, arguments);
        EXPECT_EQ(logged, fs::exists(session.Log()))
            << "arguments: " << testing::PrintToString(arguments);
        if (logged) {
            EXPECT_FALSE(LogLines(session).empty());
        }
        Stop(program);
    }
}

TEST(ProgramStart, ItsOfficesStartWithItAndEndWithItEvenWhenKilled)
{
    for (const int signal : {SIGKILL, SIGTERM}) {
        SCOPED_TRACE(signal);
        UserSession session;
        auto program = StartAndWait(session, {});
        ASSERT_TRUE(WaitUntil([&] { return AnyOfficeOfCacheFolder(session.Cache()) != 0; }, 60s))
            << "no office started with the program";
        program->Signal(signal);
        program->Finish();
        EXPECT_TRUE(WaitUntil([&] { return AnyOfficeOfCacheFolder(session.Cache()) == 0; }, 10s))
            << "an office outlived the program";
    }
}

TEST(ProgramStart, ASecondStartWithAFileEndsSilentlyAndTheFirstGoesOn)
{
    UserSession session;
    auto first = StartAndWait(session, {"-LOG", "first.pptx"});
    for (const auto& arguments :
         {std::vector<std::string>{"deck.pptx"}, {"--", "-LOG"}, {"/decks/a\nb.pptx"}}) {
        const ProgramResult second = RunProgram(Command(arguments), session.Environment());
        EXPECT_EQ(0, second.status);
        EXPECT_EQ("", second.out + second.err);
    }
    EXPECT_TRUE(AskToComeForward(session.Socket()));
    EXPECT_FALSE(fs::exists(session.Log())) << "the log is on only with -LOG alone";
    Stop(first);
}

TEST(ProgramStart, NamesAnotherUserTookDoNotKeepTheProgramFromStarting)
{
    UserSession session;
    // A shared temporary folder in which the other user came first: their
    // folder under our name, and their runtime folder named as ours.
    const fs::path tmp = session.Root() / "tmp";
    const fs::path theirRun = session.Root() / "their-run";
    const std::string ours = "korvanta-" + std::to_string(::geteuid());
    ::chmod(session.Root().c_str(), 0755);
    ::chmod(tmp.c_str(), 01777);
    const fs::path theirFolder = tmp / ours;
    ASSERT_EQ(0,
              RunAsUnprivileged([&] { return ::mkdir(theirFolder.c_str(), 0700) == 0 ? 0 : 1; }));
    fs::create_directory(theirRun);
    ASSERT_EQ(0, ::chown(theirRun.c_str(), UnprivilegedUid(), UnprivilegedGid()));
    ::chmod(theirRun.c_str(), 0700);

    auto environment = session.Environment();
    environment["XDG_RUNTIME_DIR"] = theirRun.string();
    const fs::path socket = tmp / (ours + "-2") / "Korvanta";
    auto first = StartAndWait({}, environment, socket);
    EXPECT_TRUE(AskToComeForward(socket));
    // It meets the first there and ends; Qt alone warns of their runtime
    // folder on stderr.
    const ProgramResult second = RunProgram(Command({}), environment);
    EXPECT_EQ(0, second.status);
    EXPECT_EQ("", second.out);
    EXPECT_TRUE(fs::is_empty(theirFolder));
    EXPECT_TRUE(fs::is_empty(theirRun));
    Stop(first);
}
