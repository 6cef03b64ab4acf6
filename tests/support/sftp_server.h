#pragma once

#include "tests/support/temp_folder.h"

#include <filesystem>
#include <string>
#include <sys/types.h>

// A real OpenSSH sshd on 127.0.0.1 that serves SFTP only, for one test, with
// a configuration and a new ed25519 host key of its own in a temporary
// folder: started and waited for by the constructor, stopped with all its
// processes by the destructor.
//
// User() is no account of the system: sshd runs in a mount namespace of its
// own where /etc/passwd and /etc/shadow are copies that add it, with a free
// uid, Password() and the home Home(). Needs root.
class SftpTestServer
{
public:
    // On port, or on a free one when port is 0: a test that restarts a server
    // on the port of the one before meets a new host key there. Throws
    // std::runtime_error when the server does not come up.
    explicit SftpTestServer(int port = 0);
    ~SftpTestServer();
    SftpTestServer(const SftpTestServer&) = delete;
    SftpTestServer& operator=(const SftpTestServer&) = delete;

    static std::string User() { return "korvanta"; }
    static std::string Password() { return "Secret pass:1"; }

    int Port() const { return port_; }
    // "sftp://127.0.0.1:<port>" followed by path, an absolute path.
    std::string Url(const std::string& path) const;
    // The user's home, owned by the user; the same path on the server, so
    // that Url(Home().string() + "/x.jpg") names a file in it.
    std::filesystem::path Home() const { return root_ / "home"; }
    // The user's uid, which owns what it uploads.
    uid_t Uid() const { return uid_; }

    // The host key's fingerprint as `ssh-keygen -lf` prints it:
    // "SHA256:" and base64 without padding.
    const std::string& Fingerprint() const { return fingerprint_; }
    // Lets User() log in with the key whose public half is in publicKey.
    void AuthorizeKey(const std::filesystem::path& publicKey) const;
    // What sshd logged, for failure messages.
    std::string Log() const;

private:
    void MakeHostKey();
    void AddUser();
    void WriteConfig() const;
    bool Start();
    void Stop();

    TempFolder root_;
    uid_t uid_ = 0;
    std::string fingerprint_;
    pid_t pid_ = -1;
    int port_ = 0;
};
