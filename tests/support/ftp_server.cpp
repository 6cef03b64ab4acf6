#include "tests/support/ftp_server.h"

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <netinet/in.h>
#include <set>
#include <sstream>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// The Debian package's module is only seen by the system's interpreter.
const char* const kPython = "/usr/bin/python3";

sockaddr_in Loopback(int port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

bool Accepting(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const sockaddr_in address = Loopback(port);
    const bool connected =
        ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return connected;
}

// A socket bound to a free port of 127.0.0.1; listening when asked.
int BoundSocket(int& port, bool listening)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = Loopback(0);
    socklen_t size = sizeof address;
    if (fd < 0 || ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        (listening && ::listen(fd, 8) != 0) ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        if (fd >= 0)
            ::close(fd);
        throw std::runtime_error("no free port");
    }
    port = ntohs(address.sin_port);
    return fd;
}

pid_t StartScript(const fs::path& root, int port, const fs::path& output)
{
    const std::string script = KORVANTA_FTP_SERVER_SCRIPT;
    const std::vector<std::string> arguments = {kPython,       script,
                                                "--root",      root.string(),
                                                "--log",       (root / "commands.log").string(),
                                                "--port-file", (root / "port").string(),
                                                "--user",      FtpTestServer::User(),
                                                "--password",  FtpTestServer::Password(),
                                                "--port",      std::to_string(port)};
    std::vector<char*> argv;
    for (const auto& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    const pid_t pid = ::fork();
    if (pid == 0) {
        const int out = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (out >= 0) {
            ::dup2(out, STDOUT_FILENO);
            ::dup2(out, STDERR_FILENO);
        }
        ::execv(kPython, argv.data());
        ::_exit(127);
    }
    if (pid < 0)
        throw std::runtime_error("cannot start the FTP server");
    return pid;
}

} // namespace

FtpTestServer::FtpTestServer(int port)
{
    fs::create_directories(root_ / "anon/readonly");
    fs::create_directories(root_ / "user");
    pid_ = StartScript(root_.Path(), port, root_ / "server.out");
    try {
        WaitUntilAccepting();
    } catch (...) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        throw;
    }
}

void FtpTestServer::WaitUntilAccepting()
{
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (std::chrono::steady_clock::now() < deadline) {
        if (::waitpid(pid_, nullptr, WNOHANG) == pid_) {
            pid_ = -1;
            throw std::runtime_error("the FTP server ended: " + ReadFile(root_ / "server.out"));
        }
        std::istringstream port(ReadFile(root_ / "port"));
        if (port >> port_ && Accepting(port_))
            return;
        std::this_thread::sleep_for(20ms);
    }
    throw std::runtime_error("the FTP server did not come up: " + ReadFile(root_ / "server.out"));
}

FtpTestServer::~FtpTestServer()
{
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
    }
}

std::string FtpTestServer::Url(const std::string& path) const
{
    return "ftp://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<FtpTestServer::Entry> FtpTestServer::Log() const
{
    std::vector<Entry> entries;
    std::istringstream in(ReadFile(root_ / "commands.log"));
    for (std::string line; std::getline(in, line);) {
        const std::size_t space = line.find(' ');
        if (space == std::string::npos)
            continue;
        entries.push_back({std::stoi(line.substr(0, space)), line.substr(space + 1)});
    }
    return entries;
}

std::vector<std::string> FtpTestServer::Commands() const
{
    std::vector<std::string> commands;
    for (const auto& entry : Log())
        commands.push_back(entry.command);
    return commands;
}

int FtpTestServer::Connections() const
{
    std::set<int> connections;
    for (const auto& entry : Log())
        connections.insert(entry.connection);
    return static_cast<int>(connections.size());
}

bool PortIsFree(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const int reuse = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
    const sockaddr_in address = Loopback(port);
    const bool bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return bound;
}

ClosedPort::ClosedPort()
{
    socket_ = BoundSocket(port_, false);
}

ClosedPort::~ClosedPort()
{
    ::close(socket_);
}

SilentPort::SilentPort()
{
    socket_ = BoundSocket(port_, true);
}

SilentPort::~SilentPort()
{
    ::close(socket_);
}
