#include "delivery/ftp_connection.h"

#include "delivery/ftp_url.h"

#include <cstdio>
#include <fcntl.h>
#include <mutex>
#include <sys/socket.h>

namespace {

struct SlistDeleter
{
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

struct FileCloser
{
    void operator()(std::FILE* file) const { std::fclose(file); }
};

bool CurlReady()
{
    static std::once_flag once;
    static bool ready = false;
    std::call_once(once, [] { ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; });
    return ready;
}

// A name that would end the command line early, or start a second one.
bool HasControlCharacter(const std::string& text)
{
    for (unsigned char c : text) {
        if (c < 0x20 || c == 0x7F)
            return true;
    }
    return false;
}

// Control connections and the active-mode listener, made close-on-exec so
// that no program we start holds them.
curl_socket_t OpenSocket(void*, curlsocktype, curl_sockaddr* address)
{
    return ::socket(address->family, address->socktype | SOCK_CLOEXEC, address->protocol);
}

} // namespace

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
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "ftp");
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    // Active mode on the address of the control connection.
    curl_easy_setopt(curl, CURLOPT_FTPPORT, "-");
    curl_easy_setopt(curl, CURLOPT_TRANSFERTEXT, 0L);
    // No CWD of curl's own: the folders are entered by our commands, and
    // file names are sent as they are, relative to the current folder.
    curl_easy_setopt(curl, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_NOCWD));
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, limits.connectSeconds);
    curl_easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, limits.replySeconds);
    curl_easy_setopt(curl, CURLOPT_ACCEPTTIMEOUT_MS, limits.replySeconds * 1000L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, limits.stallSeconds);
    curl_easy_setopt(curl, CURLOPT_OPENSOCKETFUNCTION, &OpenSocket);
    curl_easy_setopt(curl, CURLOPT_SOCKOPTFUNCTION, &FtpConnection::OnSocket);
    curl_easy_setopt(curl, CURLOPT_SOCKOPTDATA, this);
}

// In active mode the only sockets curl connects itself are control
// connections; after the login there must be no second one.
int FtpConnection::OnSocket(void* self, curl_socket_t socket, curlsocktype purpose)
{
    // The data connection curl accepted in active mode was not made by
    // OpenSocket.
    if (purpose == CURLSOCKTYPE_ACCEPT && ::fcntl(socket, F_SETFD, FD_CLOEXEC) != 0)
        return CURL_SOCKOPT_ERROR;
    const auto* connection = static_cast<const FtpConnection*>(self);
    if (purpose == CURLSOCKTYPE_IPCXN && connection->loggedIn_)
        return CURL_SOCKOPT_ERROR;
    return CURL_SOCKOPT_OK;
}

bool FtpConnection::Login(const FtpLogin& login)
{
    if (!handle_ || loggedIn_)
        return false;
    CURL* curl = handle_.get();
    baseUrl_ = "ftp://" + login.host + ":" + std::to_string(login.port) + "/";
    curl_easy_setopt(curl, CURLOPT_URL, baseUrl_.c_str());
    if (!login.user.empty()) {
        curl_easy_setopt(curl, CURLOPT_USERNAME, login.user.c_str());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, login.password.c_str());
    }
    // A request without a body on the server's root URL: connect, log in,
    // and nothing more.
    curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
    loggedIn_ = curl_easy_perform(curl) == CURLE_OK;
    return loggedIn_;
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
    std::unique_ptr<curl_slist, SlistDeleter> list;
    for (const std::string& command : commands) {
        if (HasControlCharacter(command))
            return FtpOutcome::Broken;
        // curl closes the connection after a refused command, unless the
        // command starts with "*"; its reply code tells the outcome.
        const std::string line = stopAtRefusal ? command : "*" + command;
        curl_slist* longer = curl_slist_append(list.get(), line.c_str());
        if (!longer)
            return FtpOutcome::Broken;
        list.release();
        list.reset(longer);
    }
    CURL* curl = handle_.get();
    curl_easy_setopt(curl, CURLOPT_URL, baseUrl_.c_str());
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 0L);
    curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
    curl_easy_setopt(curl, CURLOPT_QUOTE, list.get());
    const CURLcode code = curl_easy_perform(curl);
    curl_easy_setopt(curl, CURLOPT_QUOTE, static_cast<curl_slist*>(nullptr));
    if (code == CURLE_QUOTE_ERROR && stopAtRefusal)
        return FtpOutcome::Refused;
    long reply = 0;
    if (code != CURLE_OK || curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &reply) != CURLE_OK)
        return FtpOutcome::Broken;
    // The reply to the last command: after a refused RNFR, RNTO is refused too.
    return reply >= 100 && reply < 400 ? FtpOutcome::Done : FtpOutcome::Refused;
}

size_t FtpConnection::OnListing(char* data, size_t size, size_t count, void* listing)
{
    static_cast<std::string*>(listing)->append(data, size * count);
    return size * count;
}

FtpOutcome FtpConnection::List(const char* command, std::string& listing)
{
    listing.clear();
    // No folder goes with the command: some servers take it for a pattern.
    CURL* curl = handle_.get();
    curl_easy_setopt(curl, CURLOPT_URL, baseUrl_.c_str());
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 0L);
    curl_easy_setopt(curl, CURLOPT_NOBODY, 0L);
    curl_easy_setopt(curl, CURLOPT_DIRLISTONLY, 1L);
    curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, command);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &FtpConnection::OnListing);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &listing);
    const CURLcode code = curl_easy_perform(curl);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, static_cast<void*>(nullptr));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, static_cast<curl_write_callback>(nullptr));
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
    names.clear();
    std::size_t start = 0;
    while (start < listing.size()) {
        std::size_t end = listing.find('\n', start);
        if (end == std::string::npos)
            end = listing.size();
        std::string line = listing.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        // Some servers answer with paths.
        if (const std::size_t slash = line.rfind('/'); slash != std::string::npos)
            line.erase(0, slash + 1);
        if (!line.empty() && line != "." && line != "..")
            names.push_back(line);
        start = end + 1;
    }
    return FtpOutcome::Done;
}

bool FtpConnection::PutFile(const std::filesystem::path& local, const std::string& path)
{
    if (!loggedIn_ || HasControlCharacter(path))
        return false;
    std::error_code error;
    const auto size = std::filesystem::file_size(local, error);
    if (error)
        return false;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(local.c_str(), "rbe"));
    if (!file)
        return false;
    // curl decodes the escapes again and, with its NOCWD method, sends the
    // whole path with STOR.
    const std::string url = baseUrl_ + PercentEncode(path);
    CURL* curl = handle_.get();
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_NOBODY, 0L);
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl, CURLOPT_READDATA, file.get());
    curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(size));
    const bool done = curl_easy_perform(curl) == CURLE_OK;
    curl_easy_setopt(curl, CURLOPT_READDATA, static_cast<void*>(nullptr));
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 0L);
    return done;
}
