#include "tests/support/vsftpd_server.h"

#include "tests/support/loopback_ports.h"
#include "tests/support/server_process.h"

#include <csignal>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

const char* const kVsftpd = "/usr/sbin/vsftpd";

} // namespace

VsftpdTestServer::VsftpdTestServer()
{
    fs::create_directories(root_ / "anon/pub");
    fs::create_directories(root_ / "empty");
    fs::permissions(root_.Path(),
                    fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(root_ / "anon", fs::perms::owner_read | fs::perms::owner_exec |
                                        fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(Pub(), fs::perms::all);
    // A port can be taken between our probe and the server's bind.
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (Start())
            return;
    }
    throw std::runtime_error("vsftpd did not come up: " + ReadFile(root_ / "vsftpd.out"));
}

VsftpdTestServer::~VsftpdTestServer()
{
    Stop();
}

bool VsftpdTestServer::Start()
{
    port_ = ClosedPort().Port();
    std::ostringstream config;
    config << "listen=YES\nlisten_ipv6=NO\nlisten_address=127.0.0.1\n"
           << "listen_port=" << port_ << "\n"
           << "background=NO\nanonymous_enable=YES\nlocal_enable=NO\nno_anon_password=YES\n"
           << "write_enable=YES\nanon_upload_enable=YES\nanon_mkdir_write_enable=YES\n"
           << "anon_other_write_enable=YES\nanon_umask=022\n"
           << "anon_root=" << (root_ / "anon").string() << "\n"
           << "secure_chroot_dir=" << (root_ / "empty").string() << "\n"
           << "connect_from_port_20=NO\nport_enable=YES\npasv_enable=NO\n"
           << "seccomp_sandbox=NO\nxferlog_enable=NO\n";
    const fs::path file = root_ / "vsftpd.conf";
    WriteFile(file, config.str());
    // A group of its own, so that Stop() reaches its sessions too.
    pid_ = StartServerProcess({kVsftpd, file.string()}, root_ / "vsftpd.out", true);
    if (AwaitServerAccepting(pid_, port_))
        return true;
    Stop();
    return false;
}

void VsftpdTestServer::Stop()
{
    if (pid_ <= 0)
        return;
    ::kill(-pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

std::string VsftpdTestServer::Url(const std::string& path) const
{
    return "ftp://127.0.0.1:" + std::to_string(port_) + path;
}
