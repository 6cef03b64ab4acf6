#pragma once

#include "tests/support/loopback_ports.h"

#include "tests/support/temp_folder.h"

#include <filesystem>
#include <string>
#include <sys/types.h>
#include <vector>

// A real FTP server (pyftpdlib, tests/support/ftp_server.py) on 127.0.0.1
// for one test: started and waited for by the constructor, stopped by the
// destructor. Its files live in a temporary folder:
//   AnonymousRoot()  the anonymous user's "/" (writable; "readonly" is not,
//                    and "norename" refuses renames)
//   UserRoot()       the "/" of User() with Password()
// Folders named "drop", "dropN", "hangup" and "stall" misbehave on purpose
// (see the script).
class FtpTestServer
{
public:
    // On port, or on a free one when port is 0, with more options for the
    // script (FtpsTestServer passes its TLS ones). Throws std::runtime_error
    // when the server does not come up.
    explicit FtpTestServer(int port = 0, const std::vector<std::string>& options = {});
    ~FtpTestServer();
    FtpTestServer(const FtpTestServer&) = delete;
    FtpTestServer& operator=(const FtpTestServer&) = delete;

    static std::string User() { return "korvanta"; }
    static std::string Password() { return "Secret pass:1"; }

    int Port() const { return port_; }
    // The server's process, for a test that holds it still (SIGSTOP).
    pid_t Pid() const { return pid_; }
    // "ftp://127.0.0.1:<port>" followed by path.
    std::string Url(const std::string& path) const;
    std::filesystem::path AnonymousRoot() const { return root_ / "anon"; }
    std::filesystem::path UserRoot() const { return root_ / "user"; }

    // Command lines received so far, in order, without the connection numbers.
    std::vector<std::string> Commands() const;
    // How many control connections sent a command.
    int Connections() const;

private:
    struct Entry
    {
        int connection;
        std::string command;
    };
    std::vector<Entry> Log() const;
    void WaitUntilAccepting();

    TempFolder root_;
    pid_t pid_ = -1;
    int port_ = 0;
};
