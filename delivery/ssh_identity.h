#pragma once

#include "delivery/identity_check.h"

#include <curl/curl.h>

#include <cstddef>
#include <string>

// Makes every SSH connection of the handle check the server's host key:
// against ~/.ssh/known_hosts, else against the fingerprint the user
// trusted, as identity decides. identity must outlive the handle's
// connections.
void CheckSshIdentity(CURL* curl, IdentityCheck& identity);

// A host key blob's fingerprint as OpenSSH prints it: "SHA256:" and the
// digest in base64, without padding.
std::string HostKeyFingerprint(const unsigned char* key, std::size_t size);
