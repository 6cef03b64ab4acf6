#include "tests/support/smb_server.h"

#include "tests/support/loopback_ports.h"
#include "tests/support/run_program.h"
#include "tests/support/server_process.h"

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sstream>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

const char* const kSmbd = "/usr/sbin/smbd";

// Several test processes may get here at once; useradd refuses all but one.
void EnsureSystemUser(const std::string& name)
{
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (::getpwnam(name.c_str()) == nullptr) {
        if (std::chrono::steady_clock::now() > deadline)
            throw std::runtime_error("cannot create the user " + name);
        RunProgram({"/usr/sbin/useradd", "--system", "--no-create-home", "--shell",
                    "/usr/sbin/nologin", name});
        if (::getpwnam(name.c_str()) == nullptr)
            std::this_thread::sleep_for(100ms);
    }
}

} // namespace

SmbTestServer::SmbTestServer()
{
    for (const char* folder : {"pid", "lock", "state", "cache", "private", "ncalrpc", "log"})
        fs::create_directories(root_ / "run" / folder);
    for (const char* share : {"guest", "private", "readonly", "veto"}) {
        fs::create_directories(Share(share));
        fs::permissions(Share(share), fs::perms::all);
    }
    // Guests and the test user must reach the shares below our 0700 folder.
    const auto reachable = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                           fs::perms::others_read | fs::perms::others_exec;
    fs::permissions(root_.Path(), reachable);
    fs::permissions(root_ / "shares", reachable);
    EnsureSystemUser(User());
    // A port can be taken between our probe and smbd's bind: try another.
    for (int attempt = 0; attempt < 3; ++attempt) {
        port_ = ClosedPort().Port();
        WriteConfig();
        if (attempt == 0)
            AddUser();
        if (Start())
            return;
    }
    throw std::runtime_error("smbd did not come up: " + Log());
}

SmbTestServer::~SmbTestServer()
{
    Stop();
}

void SmbTestServer::WriteConfig() const
{
    const fs::path run = root_ / "run";
    std::ostringstream config;
    config << "[global]\n"
           << "server role = standalone server\n"
           << "interfaces = 127.0.0.1\n"
           << "bind interfaces only = yes\n"
           << "smb ports = " << port_ << "\n"
           << "disable netbios = yes\n"
           << "pid directory = " << (run / "pid").string() << "\n"
           << "lock directory = " << (run / "lock").string() << "\n"
           << "state directory = " << (run / "state").string() << "\n"
           << "cache directory = " << (run / "cache").string() << "\n"
           << "private dir = " << (run / "private").string() << "\n"
           << "ncalrpc dir = " << (run / "ncalrpc").string() << "\n"
           << "passdb backend = tdbsam:" << (run / "private/passdb.tdb").string() << "\n"
           << "map to guest = Bad User\n"
           << "guest account = nobody\n"
           << "log file = " << (run / "log/smbd.log").string() << "\n"
           << "logging = file\n"
           << "max log size = 0\n"
           << "load printers = no\n"
           << "printing = bsd\n"
           << "printcap name = /dev/null\n"
           << "disable spoolss = yes\n"
           << "usershare path =\n";
    const auto share = [&](const char* name, bool readOnly, bool guests) {
        config << "[" << name << "]\n"
               << "path = " << Share(name).string() << "\n"
               << "read only = " << (readOnly ? "yes" : "no") << "\n"
               << "guest ok = " << (guests ? "yes" : "no") << "\n";
        if (std::string(name) == "veto")
            config << "veto files = /slide07.jpg/\n";
        if (guests) {
            // An anonymous session does not own the folders it makes: guests
            // write in them as "everyone".
            config << "create mask = 0666\n"
                   << "directory mask = 0777\n";
        } else {
            config << "valid users = " << User() << "\n";
        }
    };
    share("guest", false, true);
    share("private", false, false);
    share("readonly", true, true);
    share("veto", false, true);
    WriteFile(run / "smb.conf", config.str());
}

void SmbTestServer::AddUser() const
{
    const std::string config = (root_ / "run/smb.conf").string();
    const ProgramResult result =
        RunProgram({"/bin/sh", "-c",
                    "printf '%s\\n%s\\n' \"$PASSWORD\" \"$PASSWORD\" | "
                    "/usr/bin/smbpasswd -c \"$CONFIG\" -a -s \"$USER_NAME\""},
                   {{"PASSWORD", Password()}, {"CONFIG", config}, {"USER_NAME", User()}});
    if (result.status != 0)
        throw std::runtime_error("smbpasswd failed: " + result.out + result.err);
}

bool SmbTestServer::Start()
{
    const std::string config = (root_ / "run/smb.conf").string();
    const std::string logs = (root_ / "run/log").string();
    // In the foreground smbd makes its own session and process group, so
    // Stop() reaches its helper processes too.
    pid_ = StartServerProcess({kSmbd, "--foreground", "-s", config, "-l", logs},
                              root_ / "run/log/smbd.out", false);
    if (AwaitServerAccepting(pid_, port_))
        return true;
    Stop();
    return false;
}

void SmbTestServer::Stop()
{
    if (pid_ <= 0)
        return;
    ::kill(-pid_, SIGTERM);
    ::kill(pid_, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (::waitpid(pid_, nullptr, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(-pid_, SIGKILL);
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
            break;
        }
        std::this_thread::sleep_for(20ms);
    }
    // Its helpers leave on their own once the main process is gone.
    const pid_t group = pid_;
    pid_ = -1;
    const auto helpersDeadline = std::chrono::steady_clock::now() + 10s;
    while (::kill(-group, 0) == 0) {
        if (std::chrono::steady_clock::now() > helpersDeadline) {
            ::kill(-group, SIGKILL);
            return;
        }
        std::this_thread::sleep_for(20ms);
    }
}

std::string SmbTestServer::Url(const std::string& path) const
{
    return "smb://127.0.0.1:" + std::to_string(port_) + "/" + path;
}

std::string SmbTestServer::Unc(const std::string& path) const
{
    return "\\\\127.0.0.1:" + std::to_string(port_) + "\\" + path;
}

std::string SmbTestServer::Log() const
{
    return ReadFile(root_ / "run/log/smbd.out") + ReadFile(root_ / "run/log/smbd.log");
}
