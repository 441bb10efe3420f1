#include "platform/net/tls_identity.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/x509.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>

#include "platform/net/state_dir.h"

namespace farvane::net {

namespace {

constexpr long kValiditySeconds = 20L * 365 * 24 * 3600;

NetStatus TlsError(const std::string& what) {
    return NetStatus{NetCode::kTlsFailed, what};
}

std::string MemoryText(BIO* memory) {
    char* data = nullptr;
    long length = BIO_get_mem_data(memory, &data);
    return std::string(data, static_cast<std::size_t>(length));
}

X509* MakeCertificate(EVP_PKEY* key) {
    X509* certificate = X509_new();
    if (!certificate) {
        return nullptr;
    }
    unsigned char serial[16];
    RAND_bytes(serial, sizeof serial);
    serial[0] &= 0x7F;  // serial numbers are positive
    BIGNUM* number = BN_bin2bn(serial, sizeof serial, nullptr);
    bool ok = number && X509_set_version(certificate, 2) &&
              BN_to_ASN1_INTEGER(number, X509_get_serialNumber(certificate)) &&
              X509_gmtime_adj(X509_getm_notBefore(certificate), -3600) &&
              X509_gmtime_adj(X509_getm_notAfter(certificate), kValiditySeconds) &&
              X509_set_pubkey(certificate, key);
    BN_free(number);
    X509_NAME* name = X509_get_subject_name(certificate);
    ok = ok &&
         X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                                    reinterpret_cast<const unsigned char*>("farvane host"), -1, -1,
                                    0) &&
         X509_set_issuer_name(certificate, name) && X509_sign(certificate, key, EVP_sha256()) > 0;
    if (!ok) {
        X509_free(certificate);
        return nullptr;
    }
    return certificate;
}

NetStatus Create(const std::string& keyPath, const std::string& certificatePath, EVP_PKEY** key,
                 X509** certificate) {
    *key = EVP_PKEY_Q_keygen(nullptr, nullptr, "EC", "P-256");
    if (!*key) {
        return TlsError("cannot make a host key");
    }
    *certificate = MakeCertificate(*key);
    if (!*certificate) {
        return TlsError("cannot make the host certificate");
    }
    BIO* keyText = BIO_new(BIO_s_mem());
    BIO* certificateText = BIO_new(BIO_s_mem());
    bool encoded = keyText && certificateText &&
                   PEM_write_bio_PrivateKey(keyText, *key, nullptr, nullptr, 0, nullptr, nullptr) &&
                   PEM_write_bio_X509(certificateText, *certificate);
    NetStatus status = encoded ? NetStatus::Ok() : TlsError("cannot encode the host key");
    // The certificate first: a key file alone would be refused at the next start, while a
    // certificate alone is written again with its key.
    if (status.ok()) {
        status = ReplaceFile(certificatePath, MemoryText(certificateText), 0644);
    }
    if (status.ok()) {
        status = ReplaceFile(keyPath, MemoryText(keyText), 0600);
    }
    BIO_free(keyText);
    BIO_free(certificateText);
    return status;
}

NetStatus Load(const std::string& keyPath, const std::string& certificatePath, EVP_PKEY** key,
               X509** certificate) {
    struct stat info {};
    if (stat(keyPath.c_str(), &info) != 0) {
        return SystemFailure(NetCode::kIoFailed, "cannot read " + keyPath, errno);
    }
    if ((info.st_mode & 077) != 0) {
        return NetStatus{NetCode::kIoFailed, "the host key " + keyPath +
                                                 " may be read by others; make it readable by "
                                                 "its owner only (chmod 600)"};
    }
    FILE* keyFile = std::fopen(keyPath.c_str(), "r");
    if (keyFile) {
        *key = PEM_read_PrivateKey(keyFile, nullptr, nullptr, nullptr);
        std::fclose(keyFile);
    }
    FILE* certificateFile = std::fopen(certificatePath.c_str(), "r");
    if (certificateFile) {
        *certificate = PEM_read_X509(certificateFile, nullptr, nullptr, nullptr);
        std::fclose(certificateFile);
    }
    if (!*key || !*certificate) {
        return TlsError("cannot read the host key and certificate in " + keyPath + " and " +
                        certificatePath);
    }
    if (X509_check_private_key(*certificate, *key) != 1) {
        return TlsError("the host certificate " + certificatePath + " does not match the key " +
                        keyPath);
    }
    return NetStatus::Ok();
}

}  // namespace

NetStatus TlsIdentity::LoadOrCreate(const std::string& folder,
                                    std::unique_ptr<TlsIdentity>* identity) {
    const std::string keyPath = folder + "/" + kHostKeyFileName;
    const std::string certificatePath = folder + "/" + kHostCertificateFileName;
    struct stat info {};
    bool haveKey = lstat(keyPath.c_str(), &info) == 0;
    bool haveCertificate = lstat(certificatePath.c_str(), &info) == 0;
    EVP_PKEY* key = nullptr;
    X509* certificate = nullptr;
    NetStatus status;
    if (!haveKey && !haveCertificate) {
        status = Create(keyPath, certificatePath, &key, &certificate);
    } else if (haveKey && !haveCertificate) {
        status = NetStatus{NetCode::kIoFailed, "the host key " + keyPath +
                                                   " has no certificate beside it; remove the key "
                                                   "to make a new identity"};
    } else if (!haveKey) {
        // Only the certificate is there: an earlier first run stopped before writing the key.
        status = Create(keyPath, certificatePath, &key, &certificate);
    } else {
        status = Load(keyPath, certificatePath, &key, &certificate);
    }
    if (!status.ok()) {
        EVP_PKEY_free(key);
        X509_free(certificate);
        return status;
    }
    identity->reset(new TlsIdentity(key, certificate));
    return NetStatus::Ok();
}

TlsIdentity::~TlsIdentity() {
    EVP_PKEY_free(key_);
    X509_free(certificate_);
}

std::string TlsIdentity::Fingerprint() const {
    return CertificateFingerprint(certificate_);
}

std::string CertificateFingerprint(X509* certificate) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned length = 0;
    if (!certificate || !X509_digest(certificate, EVP_sha256(), digest, &length)) {
        return "";
    }
    static const char kHex[] = "0123456789abcdef";
    std::string text = "SHA256:";
    for (unsigned at = 0; at < length; ++at) {
        text += kHex[digest[at] >> 4];
        text += kHex[digest[at] & 15];
    }
    return text;
}

}  // namespace farvane::net
