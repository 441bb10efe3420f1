// Admission by password: the host keeps an Argon2id hash of the password (never the password)
// and slows down addresses that guessed wrong.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>

// Where the host keeps the hash: section and key of its options file.
inline constexpr const char* kAdmissionSection = "Admission";
inline constexpr const char* kPasswordHashKey = "PasswordHash";
inline constexpr const char* kHostOptionsFileName = "host.ini";

// The Argon2id hash of `password` in the self-describing text form ("$argon2id$..."); false
// when hashing failed (out of memory).
bool HashPassword(const std::string& password, std::string* hash);
// Whether `password` matches `hash`; a malformed or empty hash matches nothing.
bool PasswordMatches(const std::string& hash, const std::string& password);

// The stored hash, or empty when none is set (or the file cannot be read).
std::string ReadPasswordHash(const std::string& optionsFile);
// Stores the hash (the file stays readable by its owner only); false on failure, with the file
// as it was.
bool StorePasswordHash(const std::string& optionsFile, const std::string& hash);

// Failed attempts per address: each failure doubles the wait before that address is heard
// again, up to a cap; an admission clears it.
class AdmissionThrottle {
public:
    using Clock = std::chrono::steady_clock;

    AdmissionThrottle(std::chrono::milliseconds first, std::chrono::milliseconds cap)
        : first_(first), cap_(cap) {}

    // How long an attempt from `address` must wait now (0 when it may go ahead).
    std::chrono::milliseconds WaitFor(const std::string& address);
    // Records a failure; returns the wait it imposes on the next attempt.
    std::chrono::milliseconds Failed(const std::string& address);
    void Admitted(const std::string& address);

private:
    struct Record {
        std::chrono::milliseconds penalty{0};
        Clock::time_point nextAllowed;
    };
    std::chrono::milliseconds first_;
    std::chrono::milliseconds cap_;
    std::mutex lock_;
    std::map<std::string, Record> records_;
};
