#pragma once

#include "tests/support/ftp_server.h"
#include "tests/support/test_certificate.h"

#include <filesystem>
#include <string>
#include <vector>

// How a client starts TLS with an FTPS server.
enum class FtpsMode
{
    Explicit, // "AUTH TLS" on a plain control connection: URL scheme ftpes://
    Implicit, // TLS from the first byte: URL scheme ftps://
};

// A real FTPS server (the pyftpdlib script of FtpTestServer with TLS) on
// 127.0.0.1 for one test, with a new self-signed certificate of its own.
// Logins and transfers need TLS: a plain login is refused. User() logs in to
// UserRoot(); "anonymous" (over TLS too) to AnonymousRoot().
class FtpsTestServer
{
public:
    // On port, or on a free one when port 0: a test that restarts a server on
    // the port of the one before meets a new certificate there. Throws
    // std::runtime_error when the server does not come up.
    // names: the subjectAltName of its certificate.
    explicit FtpsTestServer(FtpsMode mode, int port = 0,
                            const std::string& names = "IP:127.0.0.1,DNS:localhost");

    static std::string User() { return FtpTestServer::User(); }
    static std::string Password() { return FtpTestServer::Password(); }

    FtpsMode Mode() const { return mode_; }
    int Port() const { return server_.Port(); }
    // "ftpes://127.0.0.1:<port>" (explicit) or "ftps://127.0.0.1:<port>"
    // (implicit) followed by path.
    std::string Url(const std::string& path) const;
    std::filesystem::path UserRoot() const { return server_.UserRoot(); }
    std::filesystem::path AnonymousRoot() const { return server_.AnonymousRoot(); }

    // The certificate the server presents, in PEM, and its SHA-256
    // fingerprint as `openssl x509 -noout -fingerprint -sha256` prints it
    // after "=": upper-case hex pairs joined by ':'.
    std::filesystem::path Certificate() const { return certificate_.Certificate(); }
    const std::string& Fingerprint() const { return certificate_.Fingerprint(); }

    // Command lines received so far, in order, passwords masked.
    std::vector<std::string> Commands() const { return server_.Commands(); }

private:
    FtpsMode mode_;
    TestCertificate certificate_;
    FtpTestServer server_;
};
