#include "convert/lok/worker_protocol.h"
#include "convert/lok/worker_socket.h"
#include "tests/support/child_process.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

struct SocketPair
{
    SocketPair()
    {
        int ends[2];
        EXPECT_EQ(0, ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends));
        ours.Reset(ends[0]);
        theirs.Reset(ends[1]);
    }
    UniqueFd ours;
    UniqueFd theirs;
};

std::string UniqueName(const char* what)
{
    return std::string("korvanta-test-") + what + "-" + std::to_string(::getpid());
}

// A connection to an abstract socket name with no check of who listens.
UniqueFd RawConnect(const std::string& name)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path + 1, name.data(), name.size());
    UniqueFd connection(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
    if (::connect(connection.Get(), reinterpret_cast<const sockaddr*>(&address), length) != 0)
        connection.Close();
    return connection;
}

} // namespace

TEST(WorkerProtocol, ArgumentsCarryAnyBytesAndMessagesFollowEachOther)
{
    SocketPair pair;
    const std::string binary("a\0b\n\xff", 5);
    const worker::Message load{"LOAD", {"/decks/a b\nc 12:x.pptx"}};
    const worker::Message render{"RENDER", {"3", "", binary, "/out/slide3.jpg"}};
    ASSERT_TRUE(worker::Send(pair.ours.Get(), load));
    ASSERT_TRUE(worker::Send(pair.ours.Get(), render));
    ASSERT_TRUE(worker::Send(pair.ours.Get(), {"QUIT", {}}));
    pair.ours.Close();

    worker::MessageReader reader(pair.theirs.Get());
    for (const auto& sent : {load, render, worker::Message{"QUIT", {}}}) {
        const auto got = reader.Next();
        ASSERT_TRUE(got);
        EXPECT_EQ(sent.word, got->word);
        EXPECT_EQ(sent.arguments, got->arguments);
    }
    EXPECT_FALSE(reader.Next()) << "the end of the stream is no message";
}

TEST(WorkerProtocol, MalformedMessagesEndTheStream)
{
    for (const std::string text :
         {"LOAD 5:abc\n", "LOAD x:abc\n", "LOAD 3abc\n", "LOAD 3:abc", "LOAD 99999999:a\n",
          "LOAD 3:abc?\n", "LOAD 1:a 1:b 1:c 1:d 1:e 1:f 1:g 1:h 1:i\n"}) {
        SCOPED_TRACE(text);
        SocketPair pair;
        ASSERT_EQ(static_cast<ssize_t>(text.size()),
                  ::write(pair.ours.Get(), text.data(), text.size()));
        pair.ours.Close();
        EXPECT_FALSE(worker::MessageReader(pair.theirs.Get()).Next());
    }
}

TEST(WorkerSocket, OneListenerANameAndOnlyOurOwnUserOnEitherEnd)
{
    const std::string name = UniqueName("socket");
    const UniqueFd listener = worker::Listen(name);
    ASSERT_TRUE(listener.IsOpen());
    EXPECT_FALSE(worker::Listen(name).IsOpen()) << "a second worker took the same name";

    // Another user who connects is closed unanswered; we are served.
    std::thread server([&] {
        const UniqueFd served = worker::AcceptOwnUser(listener.Get());
        worker::Send(served.Get(), {"OK", {"served"}});
    });
    const int theirs = RunAsUnprivileged([&] {
        const UniqueFd connection = RawConnect(name);
        if (!connection.IsOpen())
            return 1;
        return worker::MessageReader(connection.Get()).Next() ? 2 : 0;
    });
    EXPECT_EQ(0, theirs) << "1: not reached, 2: another user was answered";
    const UniqueFd ours = worker::Connect(name);
    ASSERT_TRUE(ours.IsOpen());
    const auto greeting = worker::MessageReader(ours.Get()).Next();
    server.join();
    ASSERT_TRUE(greeting);
    EXPECT_EQ("served", greeting->arguments.at(0));

    // A name another user listens on first is never talked to.
    const std::string squatted = UniqueName("squatted");
    int ready[2];
    int stop[2];
    ASSERT_EQ(0, ::pipe(ready));
    ASSERT_EQ(0, ::pipe(stop));
    const pid_t squatter = ::fork();
    ASSERT_GE(squatter, 0);
    if (squatter == 0) {
        ::close(ready[0]);
        ::close(stop[1]);
        ::_exit(RunAsUnprivileged([&] {
            const UniqueFd taken = worker::Listen(squatted);
            const char byte = taken.IsOpen() ? 'y' : 'n';
            if (::write(ready[1], &byte, 1) != 1)
                return 1;
            char end = 0;
            return static_cast<int>(::read(stop[0], &end, 1)); // until the test lets go
        }));
    }
    ::close(ready[1]);
    ::close(stop[0]);
    char byte = 0;
    ASSERT_EQ(1, ::read(ready[0], &byte, 1));
    ::close(ready[0]);
    EXPECT_EQ('y', byte);
    EXPECT_TRUE(RawConnect(squatted).IsOpen());
    EXPECT_FALSE(worker::Connect(squatted).IsOpen()) << "we talked to another user's socket";
    ::close(stop[1]);
    ::waitpid(squatter, nullptr, 0);
}
