#include "delivery/ftp_connection.h"

#include "delivery/curl_support.h"
#include "delivery/ftp_url.h"
#include "delivery/tls_identity.h"
#include "log/failure.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <linux/sockios.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int PortOf(const curl_sockaddr& address)
{
    if (address.family == AF_INET)
        return ntohs(reinterpret_cast<const sockaddr_in&>(address.addr).sin_port);
    if (address.family == AF_INET6)
        return ntohs(reinterpret_cast<const sockaddr_in6&>(address.addr).sin6_port);
    return 0;
}

// Drops what has come in; false once the server has closed or reset.
bool DropIncoming(int socket)
{
    char sink[4096];
    for (;;) {
        const ssize_t got = ::recv(socket, sink, sizeof sink, MSG_DONTWAIT);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
    }
}

// Waits until the server has received all that was sent on the socket, or
// until that makes no progress for stallSeconds, dropping what it sends. A
// socket closed with data unread, or that data reach after its close, is
// reset, and what the server had not received yet is lost: over TLS 1.3 the
// server's session tickets may come after the last of an upload was sent.
void AwaitDelivery(int socket, long stallSeconds)
{
    using Clock = std::chrono::steady_clock;
    int queued = 0;
    int previous = 0;
    auto progressed = Clock::now();
    while (DropIncoming(socket) && ::ioctl(socket, SIOCOUTQ, &queued) == 0 && queued > 0) {
        const auto now = Clock::now();
        if (queued != previous) {
            previous = queued;
            progressed = now;
        } else if (now - progressed >= std::chrono::seconds(stallSeconds)) {
            return;
        }
        // The server's acknowledgements wake no poll: a short one.
        pollfd incoming{socket, POLLIN, 0};
        ::poll(&incoming, 1, 1);
    }
}

} // namespace

bool Answered(FtpOutcome outcome, const std::string& what)
{
    if (outcome == FtpOutcome::Broken)
        throw Failure("The connection broke off: " + what + " failed.");
    return outcome == FtpOutcome::Done;
}

FtpConnection::FtpConnection(const FtpLimits& limits)
{
    if (!CurlReady())
        return;
    handle_.reset(curl_easy_init());
    if (handle_)
        SetDefaults(limits);
}

void FtpConnection::SetDefaults(const FtpLimits& limits)
{
    CURL* curl = handle_.get();
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "ftp,ftps");
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_TRANSFERTEXT, 0L);
    // No CWD of curl's own: the folders are entered by our commands, and
    // file names are sent as they are, relative to the current folder.
    curl_easy_setopt(curl, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_NOCWD));
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, limits.connectSeconds);
    curl_easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, limits.replySeconds);
    curl_easy_setopt(curl, CURLOPT_ACCEPTTIMEOUT_MS, limits.replySeconds * 1000L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, limits.stallSeconds);
    curl_easy_setopt(curl, CURLOPT_OPENSOCKETFUNCTION, &FtpConnection::OpenSocket);
    curl_easy_setopt(curl, CURLOPT_OPENSOCKETDATA, this);
    curl_easy_setopt(curl, CURLOPT_SOCKOPTFUNCTION, &FtpConnection::OnSocket);
    curl_easy_setopt(curl, CURLOPT_SOCKOPTDATA, this);
    curl_easy_setopt(curl, CURLOPT_CLOSESOCKETFUNCTION, &FtpConnection::CloseSocket);
    curl_easy_setopt(curl, CURLOPT_CLOSESOCKETDATA, this);
    stallSeconds_ = limits.stallSeconds;
}

// Control and data connections and the active-mode listener, made
// close-on-exec so that no program we start holds them. Once logged in, a
// second control connection would start in the wrong folder: curl may not
// make one.
curl_socket_t FtpConnection::OpenSocket(void* self, curlsocktype purpose, curl_sockaddr* address)
{
    auto* connection = static_cast<FtpConnection*>(self);
    const bool control = PortOf(*address) == connection->controlPort_;
    if (purpose == CURLSOCKTYPE_IPCXN && connection->loggedIn_ && control)
        return CURL_SOCKET_BAD;
    const curl_socket_t socket =
        ::socket(address->family, address->socktype | SOCK_CLOEXEC, address->protocol);
    if (socket != CURL_SOCKET_BAD && !control)
        connection->dataSockets_.insert(socket);
    return socket;
}

int FtpConnection::CloseSocket(void* self, curl_socket_t socket)
{
    auto* connection = static_cast<FtpConnection*>(self);
    if (connection->dataSockets_.erase(socket) > 0)
        AwaitDelivery(socket, connection->stallSeconds_);
    return ::close(socket);
}

int FtpConnection::OnSocket(void*, curl_socket_t socket, curlsocktype purpose)
{
    // The data connection curl accepted in active mode was not made by
    // OpenSocket.
    if (purpose == CURLSOCKTYPE_ACCEPT && ::fcntl(socket, F_SETFD, FD_CLOEXEC) != 0)
        return CURL_SOCKOPT_ERROR;
    return CURL_SOCKOPT_OK;
}

bool FtpConnection::Connect(const FtpLogin& login, bool showOnly)
{
    CURL* curl = handle_.get();
    const bool implicitTls = login.protocol == ServerProtocol::FtpImplicitTls;
    baseUrl_ = std::string(implicitTls ? "ftps://" : "ftp://") + login.host + ":" +
               std::to_string(login.port) + "/";
    controlPort_ = login.port;
    identity_ = IdentityCheck(login.host, login.port, showOnly);
    if (login.protocol == ServerProtocol::Ftp) {
        // Active mode on the address of the control connection.
        curl_easy_setopt(curl, CURLOPT_FTPPORT, "-");
    } else {
        curl_easy_setopt(curl, CURLOPT_FTPPORT, static_cast<char*>(nullptr));
        curl_easy_setopt(curl, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
        curl_easy_setopt(curl, CURLOPT_FTPSSLAUTH, static_cast<long>(CURLFTPAUTH_TLS));
        CheckTlsIdentity(curl, identity_);
    }
    curl_easy_setopt(curl, CURLOPT_URL, baseUrl_.c_str());
    if (!login.user.empty()) {
        curl_easy_setopt(curl, CURLOPT_USERNAME, login.user.c_str());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, login.password.c_str());
    }
    // A request without a body on the server's root URL: connect, log in,
    // and nothing more.
    curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
    return transfers_.Perform(curl) == CURLE_OK;
}

PerformFunction FtpConnection::Performer()
{
    return [this](CURL* curl) { return transfers_.Perform(curl); };
}

bool FtpConnection::Login(const FtpLogin& login)
{
    if (!handle_ || loggedIn_)
        return false;
    loggedIn_ = Connect(login, false);
    return loggedIn_;
}

void FtpConnection::ShowIdentity(const FtpLogin& login)
{
    if (handle_ && !loggedIn_)
        Connect(login, true);
}

bool FtpConnection::ChangeFolder(const std::string& folder)
{
    return RunCommands({"CWD " + folder}) == FtpOutcome::Done;
}

FtpOutcome FtpConnection::MakeFolder(const std::string& path)
{
    return RunCommands({"MKD " + path});
}

FtpOutcome FtpConnection::Rename(const std::string& from, const std::string& to)
{
    return RunCommands({"RNFR " + from, "RNTO " + to});
}

FtpOutcome FtpConnection::RenameAll(const std::vector<std::pair<std::string, std::string>>& moves)
{
    std::vector<std::string> commands;
    for (const auto& [from, to] : moves) {
        commands.push_back("RNFR " + from);
        commands.push_back("RNTO " + to);
    }
    return RunCommands(commands, true);
}

FtpOutcome FtpConnection::RemoveFile(const std::string& path)
{
    return RunCommands({"DELE " + path});
}

FtpOutcome FtpConnection::RemoveFolder(const std::string& path)
{
    return RunCommands({"RMD " + path});
}

FtpOutcome FtpConnection::RunCommands(const std::vector<std::string>& commands, bool stopAtRefusal)
{
    if (!loggedIn_)
        return FtpOutcome::Broken;
    // curl closes the connection after a refused command, unless the
    // command starts with "*"; its reply code tells the outcome.
    std::vector<std::string> lines;
    for (const std::string& command : commands)
        lines.push_back(stopAtRefusal ? command : "*" + command);
    const CommandList list = MakeCommandList(lines);
    if (!list)
        return FtpOutcome::Broken;
    CURL* curl = handle_.get();
    const CURLcode code = PerformCommands(curl, baseUrl_, list, Performer());
    if (code == CURLE_QUOTE_ERROR && stopAtRefusal)
        return FtpOutcome::Refused;
    long reply = 0;
    if (code != CURLE_OK || curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &reply) != CURLE_OK)
        return FtpOutcome::Broken;
    // The reply to the last command: after a refused RNFR, RNTO is refused too.
    return reply >= 100 && reply < 400 ? FtpOutcome::Done : FtpOutcome::Refused;
}

FtpOutcome FtpConnection::List(const char* command, std::string& listing)
{
    // No folder goes with the command: some servers take it for a pattern.
    CURL* curl = handle_.get();
    curl_easy_setopt(curl, CURLOPT_URL, baseUrl_.c_str());
    curl_easy_setopt(curl, CURLOPT_DIRLISTONLY, 1L);
    curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, command);
    const CURLcode code = PerformInto(curl, listing, Performer());
    curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, static_cast<char*>(nullptr));
    curl_easy_setopt(curl, CURLOPT_DIRLISTONLY, 0L);
    if (code == CURLE_OK)
        return FtpOutcome::Done;
    return code == CURLE_FTP_COULDNT_RETR_FILE || code == CURLE_REMOTE_FILE_NOT_FOUND
               ? FtpOutcome::Refused
               : FtpOutcome::Broken;
}

FtpOutcome FtpConnection::ListNames(std::vector<std::string>& names)
{
    if (!loggedIn_)
        return FtpOutcome::Broken;
    std::string listing;
    FtpOutcome outcome = FtpOutcome::Refused;
    if (listsWithOptions_) {
        outcome = List("NLST -a", listing);
        listsWithOptions_ = outcome == FtpOutcome::Done;
    }
    if (outcome == FtpOutcome::Refused)
        outcome = List("NLST", listing);
    if (outcome != FtpOutcome::Done)
        return outcome;
    names = ListedNames(listing);
    return FtpOutcome::Done;
}

bool FtpConnection::PutFile(const std::filesystem::path& local, const std::string& path)
{
    if (!loggedIn_ || HasControlCharacter(path))
        return false;
    // curl decodes the escapes again and, with its NOCWD method, sends the
    // whole path with STOR.
    return UploadFile(handle_.get(), baseUrl_ + PercentEncode(path), local, Performer());
}
