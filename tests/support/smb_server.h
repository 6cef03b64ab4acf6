#pragma once

#include "tests/support/temp_folder.h"

#include <filesystem>
#include <string>
#include <sys/types.h>

// A real Samba smbd on 127.0.0.1 with a configuration of its own, on a
// private port: started and waited for by the constructor, stopped with all
// its processes by the destructor. Its shares, each a folder of Root():
//   "guest"     writable, open to guests and to User()
//   "private"   writable, for User() only
//   "readonly"  read-only, open to guests and to User()
//   "veto"      as "guest", but no file may be named "slide07.jpg"
class SmbTestServer
{
public:
    // Throws std::runtime_error when the server does not come up.
    SmbTestServer();
    ~SmbTestServer();
    SmbTestServer(const SmbTestServer&) = delete;
    SmbTestServer& operator=(const SmbTestServer&) = delete;

    // A system account made for the tests when missing, with a Samba
    // password in this server's own user database.
    static std::string User() { return "korvanta-smb"; }
    static std::string Password() { return "Share pass:1"; }

    int Port() const { return port_; }
    // "smb://127.0.0.1:<port>/" followed by path.
    std::string Url(const std::string& path) const;
    // "\\127.0.0.1:<port>\" followed by path.
    std::string Unc(const std::string& path) const;
    std::filesystem::path Share(const std::string& name) const { return root_ / "shares" / name; }
    // What smbd logged, for failure messages.
    std::string Log() const;

private:
    void WriteConfig() const;
    void AddUser() const;
    bool Start();
    void Stop();

    TempFolder root_;
    pid_t pid_ = -1;
    int port_ = 0;
};
