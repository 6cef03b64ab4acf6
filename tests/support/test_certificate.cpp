#include "tests/support/test_certificate.h"

#include "tests/support/run_program.h"

#include <stdexcept>

namespace {

const char* const kOpenssl = "/usr/bin/openssl";

ProgramResult RunOpenssl(const std::vector<std::string>& arguments)
{
    std::vector<std::string> argv = {kOpenssl};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    ProgramResult result = RunProgram(argv);
    if (result.status != 0)
        throw std::runtime_error("openssl " + arguments.front() + " failed: " + result.err);
    return result;
}

} // namespace

TestCertificate::TestCertificate(const std::string& names)
{
    RunOpenssl({"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj",
                "/CN=korvanta-test", "-addext", "subjectAltName=" + names,
                "-keyout", Key().string(), "-out", Certificate().string()});
    // "sha256 Fingerprint=AB:CD:..."
    const std::string printed =
        RunOpenssl({"x509", "-noout", "-fingerprint", "-sha256", "-in", Certificate().string()})
            .out;
    const std::size_t equals = printed.find('=');
    const std::size_t end = printed.find_first_of("\r\n");
    if (equals == std::string::npos || end == std::string::npos || end < equals)
        throw std::runtime_error("openssl printed no fingerprint: " + printed);
    fingerprint_ = printed.substr(equals + 1, end - equals - 1);
}
