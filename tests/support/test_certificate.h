#pragma once

#include "tests/support/temp_folder.h"

#include <filesystem>
#include <string>

// A new self-signed certificate for a TLS test server, made by the openssl
// program for the names given (a subjectAltName value), valid for two days.
// Its files live in a temporary folder of its own.
class TestCertificate
{
public:
    // Throws std::runtime_error when openssl fails.
    explicit TestCertificate(const std::string& names = "IP:127.0.0.1,DNS:localhost");

    // The certificate and its unencrypted private key, in PEM.
    std::filesystem::path Certificate() const { return folder_ / "certificate.pem"; }
    std::filesystem::path Key() const { return folder_ / "key.pem"; }
    // Its SHA-256 fingerprint as `openssl x509 -fingerprint -sha256` prints
    // it: upper-case hex pairs joined by ':'.
    const std::string& Fingerprint() const { return fingerprint_; }

private:
    TempFolder folder_;
    std::string fingerprint_;
};
