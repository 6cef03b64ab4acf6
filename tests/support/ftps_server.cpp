#include "tests/support/ftps_server.h"

namespace {

std::vector<std::string> TlsOptions(FtpsMode mode, const TestCertificate& certificate)
{
    return {"--tls",         mode == FtpsMode::Explicit ? "explicit" : "implicit",
            "--certificate", certificate.Certificate().string(),
            "--key",         certificate.Key().string()};
}

} // namespace

FtpsTestServer::FtpsTestServer(FtpsMode mode, int port, const std::string& names)
    : mode_(mode), certificate_(names), server_(port, TlsOptions(mode, certificate_))
{}

std::string FtpsTestServer::Url(const std::string& path) const
{
    const char* scheme = mode_ == FtpsMode::Explicit ? "ftpes" : "ftps";
    return std::string(scheme) + "://127.0.0.1:" + std::to_string(Port()) + path;
}
