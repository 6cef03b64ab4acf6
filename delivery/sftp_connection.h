#pragma once

#include "delivery/ftp_connection.h"
#include "delivery/identity_check.h"

#include <curl/curl.h>

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// Where to log in over SSH, and as whom. With no password, the user's SSH
// agent and default keys (~/.ssh/id_ed25519, ~/.ssh/id_rsa) are tried.
struct SftpLogin
{
    std::string host; // name or address; an IPv6 address in brackets
    int port = 22;
    std::string user; // the local user's name when empty
    std::string password;
};

// One SFTP session through one curl handle. Paths are absolute on the server;
// "/~/" starts them in the login folder. The server's host key is checked
// (see CheckSshIdentity) each time curl connects.
class SftpConnection
{
public:
    explicit SftpConnection(const FtpLimits& limits = {});
    SftpConnection(const SftpConnection&) = delete;
    SftpConnection& operator=(const SftpConnection&) = delete;

    bool IsOpen() const { return handle_ != nullptr; }

    bool Login(const SftpLogin& login);
    // Connects only as far as the server shows its identity (Identity()).
    void ShowIdentity(const SftpLogin& login);
    const IdentityCheck& Identity() const { return identity_; }

    FtpOutcome MakeFolder(const std::string& path);
    // Writes the local file as path, replacing a file of that name.
    bool PutFile(const std::filesystem::path& local, const std::string& path);
    // Moves each file from over to, in turn, and stops at the first that
    // fails. SFTP renames replace nothing, so a file at to goes to aside
    // first.
    struct Replacement
    {
        std::string from;
        std::string to;
        std::string aside;
    };
    FtpOutcome Replace(const std::vector<Replacement>& replacements);
    FtpOutcome Rename(const std::string& from, const std::string& to);
    FtpOutcome RemoveFile(const std::string& path);
    FtpOutcome RemoveFolder(const std::string& path);
    // The names in a folder, without "." and "..".
    FtpOutcome ListNames(const std::string& folder, std::vector<std::string>& names);

private:
    struct HandleDeleter
    {
        void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
    };

    bool Connect(const SftpLogin& login, bool showOnly);
    FtpOutcome RunCommands(const std::vector<std::string>& commands);
    std::string UrlOf(const std::string& path) const;

    std::unique_ptr<CURL, HandleDeleter> handle_;
    std::string baseUrl_; // "sftp://host:port"
    IdentityCheck identity_{"", 0};
    bool loggedIn_ = false;
};
