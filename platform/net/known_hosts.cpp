#include "platform/net/known_hosts.h"

#include <cerrno>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/net/state_dir.h"

namespace farvane::net {

namespace {

// The file's lines; false when it exists but cannot be read.
bool ReadLines(const std::string& path, std::vector<std::string>* lines, bool* exists) {
    std::ifstream file(path);
    *exists = file.is_open();
    if (!*exists) {
        return errno == ENOENT;
    }
    for (std::string line; std::getline(file, line);) {
        lines->push_back(line);
    }
    return !file.bad();
}

// The name and fingerprint of an entry line; false for comments, blank and malformed lines.
bool SplitEntry(const std::string& line, std::string* name, std::string* fingerprint) {
    std::istringstream fields(line);
    if (!(fields >> *name) || name->front() == '#' || !(fields >> *fingerprint)) {
        return false;
    }
    return true;
}

}  // namespace

NetStatus CheckKnownHost(const std::string& path, const std::string& name,
                         const std::string& fingerprint, HostTrust* trust, std::string* pinned) {
    std::vector<std::string> lines;
    bool exists = false;
    *trust = HostTrust::kUnknown;
    if (!ReadLines(path, &lines, &exists)) {
        return SystemFailure(NetCode::kIoFailed, "cannot read " + path, errno);
    }
    for (const std::string& line : lines) {
        std::string entryName;
        std::string entryFingerprint;
        if (SplitEntry(line, &entryName, &entryFingerprint) && entryName == name) {
            *pinned = entryFingerprint;
            *trust = entryFingerprint == fingerprint ? HostTrust::kKnown : HostTrust::kChanged;
            return NetStatus::Ok();
        }
    }
    return NetStatus::Ok();
}

NetStatus PinKnownHost(const std::string& path, const std::string& name,
                       const std::string& fingerprint) {
    std::vector<std::string> lines;
    bool exists = false;
    if (!ReadLines(path, &lines, &exists)) {
        return SystemFailure(NetCode::kIoFailed, "cannot read " + path, errno);
    }
    std::string contents;
    for (const std::string& line : lines) {
        std::string entryName;
        std::string entryFingerprint;
        if (!SplitEntry(line, &entryName, &entryFingerprint) || entryName != name) {
            contents += line + "\n";
        }
    }
    contents += name + " " + fingerprint + "\n";
    return ReplaceFile(path, contents, 0600);
}

std::string ChangedHostMessage(const std::string& path, const std::string& name,
                               const std::string& pinned, const std::string& offered) {
    return "the host key of " + name + " has changed!\n  pinned in " + path + ": " + pinned +
           "\n  offered now: " + offered +
           "\nSomeone may be listening in, or the host made a new key. Not connecting. If the "
           "host really has a new key, remove the line for " +
           name + " from " + path + ".";
}

}  // namespace farvane::net
