#pragma once

#include "delivery/curl_support.h"
#include "delivery/identity_check.h"
#include "delivery/server_url.h"

#include <curl/curl.h>

#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

// Time bounds of one FTP or SFTP session, in seconds.
struct FtpLimits
{
    long connectSeconds = 15; // TCP connect, greeting and login
    long replySeconds = 30;   // each command reply; the server opening a data connection
    long stallSeconds = 30;   // a transfer slower than one byte a second for this long ends
};

// Where to log in, how, and as whom; an empty user logs in anonymously.
struct FtpLogin
{
    std::string host; // name or address; an IPv6 address in brackets
    int port = 21;
    std::string user;
    std::string password;
    ServerProtocol protocol = ServerProtocol::Ftp; // one of the three FTP ones
};

// How a command went: done; refused by the server, which can still be used;
// or the connection broke (or the command could not be sent).
enum class FtpOutcome
{
    Done,
    Refused,
    Broken
};

// True when done, false when refused; throws Failure naming what when the
// connection is gone.
bool Answered(FtpOutcome outcome, const std::string& what);

// One FTP control connection through one curl handle, binary transfers:
// plain FTP in active mode; FTP over TLS in passive mode, since a firewall
// cannot read the encrypted PORT commands to let the server's data
// connections in. Both TLS channels are encrypted, and the server's
// certificate is checked (see CheckTlsIdentity). The current remote folder is state of the connection, so once
// logged in it never connects again: a command that would need a new
// connection fails instead of running in the wrong folder. Paths may be
// relative to the current remote folder ("a/b/name") or absolute.
class FtpConnection
{
public:
    explicit FtpConnection(const FtpLimits& limits = {});
    FtpConnection(const FtpConnection&) = delete;
    FtpConnection& operator=(const FtpConnection&) = delete;

    // False when no curl handle could be made.
    bool IsOpen() const { return handle_ != nullptr; }

    bool Login(const FtpLogin& login);
    // The identity the TLS server showed, and whether it was refused.
    const IdentityCheck& Identity() const { return identity_; }
    // Connects only as far as the server shows its identity (Identity()).
    void ShowIdentity(const FtpLogin& login);
    // CWD.
    bool ChangeFolder(const std::string& folder);
    // MKD: Refused when the folder is there already, or may not be made.
    FtpOutcome MakeFolder(const std::string& path);
    // STOR of a local file as path, replacing a file of that name.
    bool PutFile(const std::filesystem::path& local, const std::string& path);
    // RNFR and RNTO.
    FtpOutcome Rename(const std::string& from, const std::string& to);
    // RNFR and RNTO for each pair, sent at once; Done only when every one was
    // done. After a refusal the connection is closed.
    FtpOutcome RenameAll(const std::vector<std::pair<std::string, std::string>>& moves);
    // DELE.
    FtpOutcome RemoveFile(const std::string& path);
    // RMD.
    FtpOutcome RemoveFolder(const std::string& path);
    // The names in the current remote folder, hidden ones included where the
    // server shows them: "NLST -a", or NLST where the server does not take
    // options.
    FtpOutcome ListNames(std::vector<std::string>& names);

private:
    struct HandleDeleter
    {
        void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
    };

    void SetDefaults(const FtpLimits& limits);
    // Done or Refused by the reply to the last command. With stopAtRefusal,
    // a refused command ends the list, and curl closes the connection.
    FtpOutcome RunCommands(const std::vector<std::string>& commands, bool stopAtRefusal = false);
    FtpOutcome List(const char* command, std::string& listing);
    bool Connect(const FtpLogin& login, bool showOnly);
    PerformFunction Performer();
    static curl_socket_t OpenSocket(void* self, curlsocktype purpose, curl_sockaddr* address);
    static int OnSocket(void* self, curl_socket_t socket, curlsocktype purpose);
    // Data connections are closed once the server has all that was sent.
    static int CloseSocket(void* self, curl_socket_t socket);

    std::unique_ptr<CURL, HandleDeleter> handle_;
    std::string baseUrl_; // "ftp://host:port/", "ftps://" for implicit TLS
    int controlPort_ = 0;
    IdentityCheck identity_{"", 0};
    bool loggedIn_ = false;
    bool listsWithOptions_ = true;
    long stallSeconds_ = 0;
    std::set<curl_socket_t> dataSockets_; // passive ones, made by OpenSocket
    // Every request of the handle, so that its connection is kept. Last: its
    // end closes the connection, through the callbacks above.
    CurlTransfers transfers_;
};
