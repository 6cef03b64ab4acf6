#include "tests/support/sftp_server.h"

#include "tests/support/loopback_ports.h"
#include "tests/support/run_program.h"
#include "tests/support/server_process.h"
#include "tests/support/text_lines.h"
#include "tests/support/wait_until.h"

#include <csignal>
#include <fstream>
#include <pwd.h>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

const char* const kSshd = "/usr/sbin/sshd";
const char* const kSshKeygen = "/usr/bin/ssh-keygen";
const char* const kOpenssl = "/usr/bin/openssl";
// sshd's privilege separation folder, as the system's service makes it.
const char* const kPrivsepFolder = "/run/sshd";
const uid_t kFirstUid = 64123;

std::string Output(const std::vector<std::string>& argv)
{
    const ProgramResult result = RunProgram(argv);
    if (result.status != 0)
        throw std::runtime_error(argv.front() + " failed: " + result.err);
    return result.out;
}

// The lines of a copy of a system file, without those of name.
std::string LinesWithout(const fs::path& file, const std::string& name)
{
    std::string kept;
    for (const auto& line : Lines(ReadFile(file))) {
        if (line.rfind(name + ":", 0) != 0)
            kept += line + "\n";
    }
    return kept;
}

uid_t FreeUid()
{
    uid_t uid = kFirstUid;
    while (::getpwuid(uid) != nullptr)
        ++uid;
    return uid;
}

std::string Quoted(const fs::path& path)
{
    return "\"" + path.string() + "\"";
}

} // namespace

SftpTestServer::SftpTestServer(int port)
{
    // The user reaches its home below our folder.
    fs::permissions(root_.Path(), fs::perms::owner_all | fs::perms::group_read |
                                      fs::perms::group_exec | fs::perms::others_read |
                                      fs::perms::others_exec);
    fs::create_directories(kPrivsepFolder);
    MakeHostKey();
    AddUser();
    WriteFile(root_ / "authorized_keys", "");
    // A free port can be taken between our probe and sshd's bind.
    for (int attempt = 0; attempt < 3; ++attempt) {
        port_ = port != 0 ? port : ClosedPort().Port();
        WriteConfig();
        if (Start())
            return;
    }
    throw std::runtime_error("sshd did not come up: " + Log());
}

SftpTestServer::~SftpTestServer()
{
    Stop();
}

void SftpTestServer::MakeHostKey()
{
    const fs::path key = root_ / "host_ed25519";
    Output(
        {kSshKeygen, "-q", "-t", "ed25519", "-N", "", "-C", "korvanta-test", "-f", key.string()});
    // "256 SHA256:... korvanta-test (ED25519)"
    std::istringstream printed(Output({kSshKeygen, "-lf", key.string() + ".pub"}));
    std::string bits;
    printed >> bits >> fingerprint_;
    if (fingerprint_.rfind("SHA256:", 0) != 0)
        throw std::runtime_error("ssh-keygen printed no fingerprint: " + printed.str());
}

void SftpTestServer::AddUser()
{
    uid_ = FreeUid();
    fs::create_directories(Home());
    if (::chown(Home().c_str(), uid_, uid_) != 0)
        throw std::runtime_error("cannot give " + Home().string() + " to the test user");
    const std::string id = std::to_string(uid_);
    WriteFile(root_ / "passwd", LinesWithout("/etc/passwd", User()) + User() + ":x:" + id + ":" +
                                    id + ":Korvanta test:" + Home().string() + ":/bin/sh\n");
    // No password ageing: empty fields after the hash.
    std::string hash = Output({kOpenssl, "passwd", "-6", Password()});
    hash.erase(hash.find_last_not_of("\r\n") + 1);
    WriteFile(root_ / "shadow", "");
    fs::permissions(root_ / "shadow", fs::perms::owner_read | fs::perms::owner_write);
    WriteFile(root_ / "shadow",
              LinesWithout("/etc/shadow", User()) + User() + ":" + hash + ":::::::\n");
}

void SftpTestServer::WriteConfig() const
{
    std::ostringstream config;
    config << "ListenAddress 127.0.0.1\n"
           << "Port " << port_ << "\n"
           << "HostKey " << Quoted(root_ / "host_ed25519") << "\n"
           << "PidFile none\n"
           << "AuthorizedKeysFile " << Quoted(root_ / "authorized_keys") << "\n"
           << "AllowUsers " << User() << "\n"
           << "PasswordAuthentication yes\n"
           << "KbdInteractiveAuthentication no\n"
           << "PubkeyAuthentication yes\n"
           << "UsePAM no\n"
           << "StrictModes no\n"
           << "UseDNS no\n"
           << "PermitTTY no\n"
           << "X11Forwarding no\n"
           << "AllowTcpForwarding no\n"
           << "AllowAgentForwarding no\n"
           << "Subsystem sftp internal-sftp\n"
           << "ForceCommand internal-sftp\n"
           << "LogLevel VERBOSE\n";
    WriteFile(root_ / "sshd_config", config.str());
}

bool SftpTestServer::Start()
{
    // sshd wants to be started by its full path, and logs to its output with -e.
    pid_ = StartServerInNamespaces(
        {kSshd, "-D", "-e", "-f", (root_ / "sshd_config").string()}, root_ / "sshd.out",
        {{root_ / "passwd", "/etc/passwd"}, {root_ / "shadow", "/etc/shadow"}});
    if (AwaitServerAccepting(pid_, port_))
        return true;
    Stop();
    return false;
}

void SftpTestServer::Stop()
{
    if (pid_ <= 0)
        return;
    // sshd is the first process of its PID namespace: its sessions end with
    // it, and waitpid returns once they are gone.
    ::kill(pid_, SIGTERM);
    if (!WaitUntil([&] { return ::waitpid(pid_, nullptr, WNOHANG) == pid_; }, 10s)) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    pid_ = -1;
}

std::string SftpTestServer::Url(const std::string& path) const
{
    return "sftp://127.0.0.1:" + std::to_string(port_) + path;
}

void SftpTestServer::AuthorizeKey(const fs::path& publicKey) const
{
    std::string key = ReadFile(publicKey);
    if (key.empty())
        throw std::runtime_error("no public key in " + publicKey.string());
    if (key.back() != '\n')
        key += '\n';
    std::ofstream out(root_ / "authorized_keys", std::ios::app);
    out << key;
    if (!out)
        throw std::runtime_error("cannot authorize " + publicKey.string());
}

std::string SftpTestServer::Log() const
{
    return ReadFile(root_ / "sshd.out");
}
