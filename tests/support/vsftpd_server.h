#pragma once

#include "tests/support/temp_folder.h"

#include <filesystem>
#include <string>
#include <sys/types.h>

// A real vsftpd on 127.0.0.1 with a configuration of its own, for one test:
// started and waited for by the constructor, stopped with its sessions by
// the destructor. Anonymous users log in to a read-only "/" that holds one
// writable folder, "pub" (vsftpd refuses a writable anonymous root). Active
// mode only.
class VsftpdTestServer
{
public:
    // Throws std::runtime_error when the server does not come up.
    VsftpdTestServer();
    ~VsftpdTestServer();
    VsftpdTestServer(const VsftpdTestServer&) = delete;
    VsftpdTestServer& operator=(const VsftpdTestServer&) = delete;

    // "ftp://127.0.0.1:<port>" followed by path.
    std::string Url(const std::string& path) const;
    // The folder "/pub" on disk.
    std::filesystem::path Pub() const { return root_ / "anon/pub"; }

private:
    bool Start();
    void Stop();

    TempFolder root_;
    pid_t pid_ = -1;
    int port_ = 0;
};
