#pragma once

#include "delivery/identity_check.h"

#include <curl/curl.h>

// Makes every TLS connection of the handle check the server's certificate:
// against the system's certificate authorities and the host name, else
// against the fingerprint the user trusted, as identity decides. identity
// must outlive the handle's connections.
void CheckTlsIdentity(CURL* curl, IdentityCheck& identity);

// The SHA-256 of a DER certificate as upper-case hex pairs joined by ":".
std::string CertificateFingerprint(const unsigned char* der, std::size_t size);
