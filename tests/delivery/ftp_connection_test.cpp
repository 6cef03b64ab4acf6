#include "delivery/ftp_connection.h"
#include "tests/delivery/ftp_test_tree.h"
#include "tests/support/ftp_server.h"
#include "tests/support/open_descriptors.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

// Short bounds, so that the stalls below end soon.
const FtpLimits kShort{2, 2, 2};

FtpLogin Anonymous(int port)
{
    return {"127.0.0.1", port, {}, {}};
}

} // namespace

TEST(FtpConnectionBounds, ServerThatNeverGreetsEndsTheLogin)
{
    const SilentPort silent;
    FtpConnection connection(kShort);
    ASSERT_TRUE(connection.IsOpen());
    EXPECT_FALSE(connection.Login(Anonymous(silent.Port())));
    // Without a login no command goes anywhere.
    EXPECT_FALSE(connection.ChangeFolder("/"));
}

TEST(FtpConnectionBounds, StalledTransferEnds)
{
    FtpTestServer server;
    fs::create_directory(server.AnonymousRoot() / "stall");
    TempFolder local;
    WriteFile(local / "big.bin", BinaryContent(32 << 20, 7));

    FtpConnection connection(kShort);
    ASSERT_TRUE(connection.Login(Anonymous(server.Port())));
    ASSERT_TRUE(connection.ChangeFolder("stall"));
    EXPECT_FALSE(connection.PutFile(local / "big.bin", "big.bin"));
}

TEST(FtpConnectionCommands, NamesCannotCarryASecondCommand)
{
    FtpTestServer server;
    fs::create_directory(server.AnonymousRoot() / "keep");
    FtpConnection connection;
    ASSERT_TRUE(connection.Login(Anonymous(server.Port())));

    EXPECT_FALSE(connection.ChangeFolder("x\r\nRMD keep"));
    connection.MakeFolder("y\nRMD keep");
    TempFolder local;
    WriteFile(local / "slide1.jpg", "image");
    EXPECT_FALSE(connection.PutFile(local / "slide1.jpg", "z\r\nRMD keep"));
    EXPECT_TRUE(fs::is_directory(server.AnonymousRoot() / "keep"));
    for (const auto& command : server.Commands())
        EXPECT_EQ(std::string::npos, command.find("RMD")) << command;
    // The connection is still good for honest names.
    EXPECT_TRUE(connection.ChangeFolder("keep"));
}

TEST(FtpConnectionDescriptors, TheControlConnectionIsClosedOnExec)
{
    FtpTestServer server;
    FtpConnection connection;
    ASSERT_TRUE(connection.Login(Anonymous(server.Port())));
    // The TCP sockets are ours; libcurl's own socketpair is closed by our
    // program starts instead.
    const std::string tcp = ReadFile("/proc/self/net/tcp") + ReadFile("/proc/self/net/tcp6");
    int sockets = 0;
    for (const auto& [fd, target] : OpenDescriptors()) {
        if (!target.starts_with("socket:["))
            continue;
        const std::string inode = target.substr(8, target.size() - 9);
        if (tcp.find(" " + inode + " ") == std::string::npos)
            continue;
        ++sockets;
        EXPECT_TRUE(IsCloseOnExec(fd)) << fd << " " << target;
    }
    EXPECT_EQ(1, sockets);
}
