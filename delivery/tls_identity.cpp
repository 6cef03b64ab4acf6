#include "delivery/tls_identity.h"

#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <cstdio>
#include <memory>

namespace {

bool HostMatches(X509* certificate, const std::string& host)
{
    if (host.size() > 2 && host.front() == '[') {
        // A zone ("%25eth0") is no part of the certificate's address.
        std::string address = host.substr(1, host.size() - 2);
        address = address.substr(0, address.find('%'));
        return X509_check_ip_asc(certificate, address.c_str(), 0) == 1;
    }
    if (X509_check_ip_asc(certificate, host.c_str(), 0) == 1)
        return true;
    return X509_check_host(certificate, host.c_str(), host.size(), 0, nullptr) == 1;
}

std::string FingerprintOf(X509* certificate)
{
    unsigned char* der = nullptr;
    const int size = i2d_X509(certificate, &der);
    if (size <= 0)
        return {};
    std::string fingerprint = CertificateFingerprint(der, static_cast<std::size_t>(size));
    OPENSSL_free(der);
    return fingerprint;
}

// Replaces OpenSSL's own check of the chain: the chain and the name are
// checked as usual, and the user's trust decides what they do not vouch for.
int VerifyChain(X509_STORE_CTX* store, void* data)
{
    auto& identity = *static_cast<IdentityCheck*>(data);
    X509* certificate = X509_STORE_CTX_get0_cert(store);
    if (!certificate)
        return 0;
    const bool vouched =
        X509_verify_cert(store) == 1 && HostMatches(certificate, identity.Host());
    const std::string fingerprint = FingerprintOf(certificate);
    if (!fingerprint.empty() &&
        identity.Accept(fingerprint, vouched ? SystemVerdict::Vouched : SystemVerdict::Unknown)) {
        X509_STORE_CTX_set_error(store, X509_V_OK);
        return 1;
    }
    X509_STORE_CTX_set_error(store, X509_V_ERR_APPLICATION_VERIFICATION);
    return 0;
}

CURLcode OnSslContext(CURL*, void* context, void* identity)
{
    auto* ssl = static_cast<SSL_CTX*>(context);
    if (SSL_CTX_set_default_verify_paths(ssl) != 1)
        return CURLE_SSL_CACERT_BADFILE;
    SSL_CTX_set_verify(ssl, SSL_VERIFY_PEER, nullptr);
    SSL_CTX_set_cert_verify_callback(ssl, &VerifyChain, identity);
    return CURLE_OK;
}

} // namespace

std::string CertificateFingerprint(const unsigned char* der, std::size_t size)
{
    std::string text;
    for (const unsigned char byte : Sha256Of(der, size)) {
        char pair[4];
        std::snprintf(pair, sizeof pair, text.empty() ? "%02X" : ":%02X", byte);
        text += pair;
    }
    return text;
}

void CheckTlsIdentity(CURL* curl, IdentityCheck& identity)
{
    // curl's own checks would refuse a certificate the user trusted; the
    // callback above makes both of them, and more.
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 0L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 0L);
    curl_easy_setopt(curl, CURLOPT_SSL_CTX_FUNCTION, &OnSslContext);
    curl_easy_setopt(curl, CURLOPT_SSL_CTX_DATA, &identity);
}
