#include "delivery/ssh_identity.h"

#include <openssl/evp.h>

#include <cstdlib>
#include <filesystem>

namespace {

SystemVerdict VerdictOf(curl_khmatch match)
{
    switch (match) {
    case CURLKHMATCH_OK:
        return SystemVerdict::Vouched;
    case CURLKHMATCH_MISMATCH:
        return SystemVerdict::Mismatch;
    default:
        return SystemVerdict::Unknown;
    }
}

int OnHostKey(CURL*, const curl_khkey*, const curl_khkey* found, curl_khmatch match, void* data)
{
    auto& identity = *static_cast<IdentityCheck*>(data);
    // curl hands the key it found as a binary blob with its length.
    if (!found || !found->key || found->len == 0)
        return CURLKHSTAT_REJECT;
    const std::string fingerprint =
        HostKeyFingerprint(reinterpret_cast<const unsigned char*>(found->key), found->len);
    return identity.Accept(fingerprint, VerdictOf(match)) ? CURLKHSTAT_FINE : CURLKHSTAT_REJECT;
}

// The user's known_hosts; a file that is empty when there is none, since
// curl asks the callback only when it reads some file.
std::string KnownHostsFile()
{
    const char* home = std::getenv("HOME");
    std::error_code error;
    if (home && *home) {
        const std::filesystem::path file = std::filesystem::path(home) / ".ssh/known_hosts";
        if (std::filesystem::is_regular_file(file, error))
            return file.string();
    }
    return "/dev/null";
}

} // namespace

std::string HostKeyFingerprint(const unsigned char* key, std::size_t size)
{
    const std::vector<unsigned char> digest = Sha256Of(key, size);
    if (digest.empty())
        return {};
    std::string base64(4 * ((digest.size() + 2) / 3) + 1, '\0');
    const int written = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(base64.data()),
                                        digest.data(), static_cast<int>(digest.size()));
    base64.resize(static_cast<std::size_t>(written));
    while (!base64.empty() && base64.back() == '=')
        base64.pop_back();
    return "SHA256:" + base64;
}

void CheckSshIdentity(CURL* curl, IdentityCheck& identity)
{
    curl_easy_setopt(curl, CURLOPT_SSH_KNOWNHOSTS, KnownHostsFile().c_str());
    curl_easy_setopt(curl, CURLOPT_SSH_KEYFUNCTION, &OnHostKey);
    curl_easy_setopt(curl, CURLOPT_SSH_KEYDATA, &identity);
}
