#include "suite/fvses32/admission.h"

#include <sodium.h>
#include <sys/stat.h>

#include <algorithm>

#include "platform/kernel/profile.h"

namespace {

bool SodiumReady() {
    static const bool ready = sodium_init() >= 0;
    return ready;
}

}  // namespace

bool HashPassword(const std::string& password, std::string* hash) {
    char text[crypto_pwhash_STRBYTES];
    if (!SodiumReady() || crypto_pwhash_str(text, password.data(), password.size(),
                                            crypto_pwhash_OPSLIMIT_INTERACTIVE,
                                            crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0) {
        return false;
    }
    *hash = text;
    return true;
}

bool PasswordMatches(const std::string& hash, const std::string& password) {
    if (!SodiumReady() || hash.empty() || hash.size() >= crypto_pwhash_STRBYTES) {
        return false;
    }
    return crypto_pwhash_str_verify(hash.c_str(), password.data(), password.size()) == 0;
}

std::string ReadPasswordHash(const std::string& optionsFile) {
    char text[crypto_pwhash_STRBYTES + 2] = {};
    GetPrivateProfileStringA(kAdmissionSection, kPasswordHashKey, "", text, sizeof text,
                             optionsFile.c_str());
    return text;
}

bool StorePasswordHash(const std::string& optionsFile, const std::string& hash) {
    if (!WritePrivateProfileStringA(kAdmissionSection, kPasswordHashKey, hash.c_str(),
                                    optionsFile.c_str())) {
        return false;
    }
    return chmod(optionsFile.c_str(), 0600) == 0;
}

std::chrono::milliseconds AdmissionThrottle::WaitFor(const std::string& address) {
    std::lock_guard guard(lock_);
    auto found = records_.find(address);
    if (found == records_.end()) {
        return std::chrono::milliseconds(0);
    }
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(found->second.nextAllowed -
                                                                      Clock::now());
    return std::max(left, std::chrono::milliseconds(0));
}

std::chrono::milliseconds AdmissionThrottle::Failed(const std::string& address) {
    std::lock_guard guard(lock_);
    Record& record = records_[address];
    record.penalty = record.penalty.count() == 0 ? first_ : std::min(record.penalty * 2, cap_);
    record.nextAllowed = Clock::now() + record.penalty;
    return record.penalty;
}

void AdmissionThrottle::Admitted(const std::string& address) {
    std::lock_guard guard(lock_);
    records_.erase(address);
}
