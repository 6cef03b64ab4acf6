#pragma once

#include <curl/curl.h>

#include <filesystem>
#include <memory>
#include <string>

// Time bounds of one FTP session, in seconds.
struct FtpLimits
{
    long connectSeconds = 15; // TCP connect, greeting and login
    long replySeconds = 30;   // each command reply; the server opening a data connection
    long stallSeconds = 30;   // a transfer slower than one byte a second for this long ends
};

// Where to log in, and as whom; an empty user logs in anonymously.
struct FtpLogin
{
    std::string host; // name or address; an IPv6 address in brackets
    int port = 21;
    std::string user;
    std::string password;
};

// One FTP control connection through one curl handle: active mode, binary
// transfers. The current remote folder is state of the connection, so once
// logged in it never connects again: a command that would need a new
// connection fails instead of running in the wrong folder.
class FtpConnection
{
public:
    explicit FtpConnection(const FtpLimits& limits = {});
    FtpConnection(const FtpConnection&) = delete;
    FtpConnection& operator=(const FtpConnection&) = delete;

    // False when no curl handle could be made.
    bool IsOpen() const { return handle_ != nullptr; }

    bool Login(const FtpLogin& login);
    // CWD, relative to the current remote folder or absolute.
    bool ChangeFolder(const std::string& folder);
    // MKD in the current remote folder. The outcome is not known: an
    // existing folder is simply kept.
    void MakeFolder(const std::string& name);
    // STOR of a local file as name in the current remote folder, replacing a
    // file of that name.
    bool PutFile(const std::filesystem::path& local, const std::string& name);

private:
    struct HandleDeleter
    {
        void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
    };

    void SetDefaults(const FtpLimits& limits);
    bool RunCommand(const std::string& command);
    static int OnSocket(void* self, curl_socket_t socket, curlsocktype purpose);

    std::unique_ptr<CURL, HandleDeleter> handle_;
    std::string baseUrl_; // "ftp://host:port/"
    bool loggedIn_ = false;
};
