#include "tests/support/ftp_server.h"

#include "tests/support/server_process.h"

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

pid_t StartScript(const fs::path& root, int port, const std::vector<std::string>& options,
                  const fs::path& output)
{
    const std::string script = KORVANTA_FTP_SERVER_SCRIPT;
    std::vector<std::string> arguments = {kPython,       script,
                                          "--root",      root.string(),
                                          "--log",       (root / "commands.log").string(),
                                          "--port-file", (root / "port").string(),
                                          "--user",      FtpTestServer::User(),
                                          "--password",  FtpTestServer::Password(),
                                          "--port",      std::to_string(port)};
    arguments.insert(arguments.end(), options.begin(), options.end());
    return StartServerProcess(arguments, output, false);
}

} // namespace

FtpTestServer::FtpTestServer(int port, const std::vector<std::string>& options)
{
    fs::create_directories(root_ / "anon/readonly");
    fs::create_directories(root_ / "anon/norename");
    fs::create_directories(root_ / "user");
    pid_ = StartScript(root_.Path(), port, options, root_ / "server.out");
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
