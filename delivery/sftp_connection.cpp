#include "delivery/sftp_connection.h"

#include "delivery/curl_support.h"
#include "delivery/ftp_url.h"
#include "delivery/ssh_identity.h"

#include <cstdlib>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A path as one argument of a quote command: in double quotes, with the
// quotes and backslashes in it escaped.
std::string Quoted(const std::string& path)
{
    std::string quoted = "\"";
    for (char c : path) {
        if (c == '"' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

// A path as a URL path: each name percent-encoded, the "/" between kept.
std::string EncodedPath(const std::string& path)
{
    std::string encoded;
    std::size_t start = 0;
    for (std::size_t slash = path.find('/'); slash != std::string::npos;
         start = slash + 1, slash = path.find('/', start))
        encoded += PercentEncode(path.substr(start, slash - start)) + "/";
    return encoded + PercentEncode(path.substr(start));
}

std::string LocalUserName()
{
    const passwd* user = ::getpwuid(::getuid());
    return user && user->pw_name ? user->pw_name : "";
}

// The first of the default keys that is there, as the sftp program tries.
std::string DefaultPrivateKey()
{
    const char* home = std::getenv("HOME");
    if (!home || !*home)
        return {};
    std::error_code error;
    for (const char* name : {".ssh/id_ed25519", ".ssh/id_rsa"}) {
        const fs::path key = fs::path(home) / name;
        if (fs::is_regular_file(key, error))
            return key.string();
    }
    return {};
}

curl_socket_t OpenSocket(void*, curlsocktype, curl_sockaddr* address)
{
    return ::socket(address->family, address->socktype | SOCK_CLOEXEC, address->protocol);
}

} // namespace

SftpConnection::SftpConnection(const FtpLimits& limits)
{
    if (!CurlReady())
        return;
    handle_.reset(curl_easy_init());
    if (!handle_)
        return;
    CURL* curl = handle_.get();
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "sftp");
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, limits.connectSeconds);
    curl_easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, limits.replySeconds);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, limits.stallSeconds);
    curl_easy_setopt(curl, CURLOPT_OPENSOCKETFUNCTION, &OpenSocket);
}

bool SftpConnection::Connect(const SftpLogin& login, bool showOnly)
{
    CURL* curl = handle_.get();
    baseUrl_ = "sftp://" + login.host + ":" + std::to_string(login.port);
    identity_ = IdentityCheck(login.host, login.port, showOnly);
    CheckSshIdentity(curl, identity_);
    const std::string user = login.user.empty() ? LocalUserName() : login.user;
    curl_easy_setopt(curl, CURLOPT_USERNAME, user.c_str());
    if (login.password.empty()) {
        curl_easy_setopt(curl, CURLOPT_SSH_AUTH_TYPES,
                         static_cast<long>(CURLSSH_AUTH_AGENT | CURLSSH_AUTH_PUBLICKEY));
        const std::string key = DefaultPrivateKey();
        curl_easy_setopt(curl, CURLOPT_SSH_PRIVATE_KEYFILE, key.empty() ? nullptr : key.c_str());
        // libssh2 derives the public key from the private one.
        curl_easy_setopt(curl, CURLOPT_SSH_PUBLIC_KEYFILE, "");
    } else {
        curl_easy_setopt(curl, CURLOPT_SSH_AUTH_TYPES,
                         static_cast<long>(CURLSSH_AUTH_PASSWORD | CURLSSH_AUTH_KEYBOARD));
        curl_easy_setopt(curl, CURLOPT_PASSWORD, login.password.c_str());
    }
    // A request without a body on the login folder: connect, check the
    // host, log in, and nothing more.
    const std::string url = UrlOf("/~/");
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
    return curl_easy_perform(curl) == CURLE_OK;
}

bool SftpConnection::Login(const SftpLogin& login)
{
    if (!handle_ || loggedIn_)
        return false;
    loggedIn_ = Connect(login, false);
    return loggedIn_;
}

void SftpConnection::ShowIdentity(const SftpLogin& login)
{
    if (handle_ && !loggedIn_)
        Connect(login, true);
}

std::string SftpConnection::UrlOf(const std::string& path) const
{
    return baseUrl_ + EncodedPath(path);
}

FtpOutcome SftpConnection::RunCommands(const std::vector<std::string>& commands)
{
    if (!loggedIn_)
        return FtpOutcome::Broken;
    const CommandList list = MakeCommandList(commands);
    if (!list)
        return FtpOutcome::Broken;
    const CURLcode code = PerformCommands(handle_.get(), UrlOf("/~/"), list);
    if (code == CURLE_OK)
        return FtpOutcome::Done;
    return code == CURLE_QUOTE_ERROR ? FtpOutcome::Refused : FtpOutcome::Broken;
}

FtpOutcome SftpConnection::MakeFolder(const std::string& path)
{
    return RunCommands({"mkdir " + Quoted(path)});
}

FtpOutcome SftpConnection::Replace(const std::vector<Replacement>& replacements)
{
    std::vector<std::string> commands;
    for (const Replacement& move : replacements) {
        // "*": there may be no file to put aside.
        commands.push_back("*rename " + Quoted(move.to) + " " + Quoted(move.aside));
        commands.push_back("rename " + Quoted(move.from) + " " + Quoted(move.to));
    }
    return RunCommands(commands);
}

FtpOutcome SftpConnection::Rename(const std::string& from, const std::string& to)
{
    return RunCommands({"rename " + Quoted(from) + " " + Quoted(to)});
}

FtpOutcome SftpConnection::RemoveFile(const std::string& path)
{
    return RunCommands({"rm " + Quoted(path)});
}

FtpOutcome SftpConnection::RemoveFolder(const std::string& path)
{
    return RunCommands({"rmdir " + Quoted(path)});
}

bool SftpConnection::PutFile(const fs::path& local, const std::string& path)
{
    return loggedIn_ && !HasControlCharacter(path) && UploadFile(handle_.get(), UrlOf(path), local);
}

FtpOutcome SftpConnection::ListNames(const std::string& folder, std::vector<std::string>& names)
{
    if (!loggedIn_ || HasControlCharacter(folder))
        return FtpOutcome::Broken;
    CURL* curl = handle_.get();
    const std::string url = UrlOf(folder + "/");
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_DIRLISTONLY, 1L);
    std::string listing;
    const CURLcode code = PerformInto(curl, listing);
    curl_easy_setopt(curl, CURLOPT_DIRLISTONLY, 0L);
    if (code != CURLE_OK)
        return code == CURLE_REMOTE_FILE_NOT_FOUND || code == CURLE_REMOTE_ACCESS_DENIED
                   ? FtpOutcome::Refused
                   : FtpOutcome::Broken;
    names = ListedNames(listing);
    return FtpOutcome::Done;
}
