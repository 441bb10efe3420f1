// The host's TLS identity: a private key and a self-signed certificate, made at first use in
// a folder of the user's (the key readable by the user only) and read back afterwards.
#pragma once

#include <memory>
#include <string>

#include "platform/net/net_status.h"

typedef struct evp_pkey_st EVP_PKEY;
typedef struct x509_st X509;

namespace farvane::net {

inline constexpr const char* kHostKeyFileName = "host_key.pem";
inline constexpr const char* kHostCertificateFileName = "host_cert.pem";

class TlsIdentity {
public:
    // Reads the key and certificate from `folder`, or makes both when neither exists. A key file
    // that others may read, or a key without its certificate (or the reverse), is refused
    // rather than replaced: the viewers pinned the certificate made from it.
    static NetStatus LoadOrCreate(const std::string& folder,
                                  std::unique_ptr<TlsIdentity>* identity);
    ~TlsIdentity();
    TlsIdentity(const TlsIdentity&) = delete;
    TlsIdentity& operator=(const TlsIdentity&) = delete;

    EVP_PKEY* key() const { return key_; }
    X509* certificate() const { return certificate_; }
    // The certificate's fingerprint (see CertificateFingerprint).
    std::string Fingerprint() const;

private:
    TlsIdentity(EVP_PKEY* key, X509* certificate) : key_(key), certificate_(certificate) {}

    EVP_PKEY* key_;
    X509* certificate_;
};

// "SHA256:" and the 64 lower-case hex digits of the SHA-256 of the certificate's DER form.
std::string CertificateFingerprint(X509* certificate);

}  // namespace farvane::net
