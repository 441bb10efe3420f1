#include "suite/fvses32/session_files.h"

#include <sys/stat.h>

#include <charconv>

#include "platform/kernel/profile.h"
#include "session/gateway_preface.h"

namespace farvane::viewer {

namespace {

constexpr int kValueSize = 1024;

// One file being read: its values without comments, and the first problem found.
class SessionFileReader {
public:
    explicit SessionFileReader(const std::string& path) : path_(path) {}

    bool Exists() const {
        struct stat info {};
        return stat(path_.c_str(), &info) == 0 && S_ISREG(info.st_mode);
    }

    std::string Text(const char* section, const char* key) const {
        char value[kValueSize] = {};
        GetPrivateProfileStringA(section, key, "", value, sizeof value, path_.c_str());
        std::string text = value;
        for (std::size_t at = text.find(';'); at != std::string::npos;
             at = text.find(';', at + 1)) {
            if (at == 0 || text[at - 1] == ' ' || text[at - 1] == '\t') {
                text.erase(at);
                break;
            }
        }
        const std::size_t first = text.find_first_not_of(" \t");
        const std::size_t last = text.find_last_not_of(" \t");
        return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
    }

    // A number (decimal or 0x hex) up to `max`, or `fallback` when the key is empty.
    template <typename Number>
    Number Value(const char* section, const char* key, Number fallback, unsigned long max) {
        const std::string text = Text(section, key);
        if (text.empty()) {
            return fallback;
        }
        std::string_view digits = text;
        int base = 10;
        if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
            digits.remove_prefix(2);
            base = 16;
        }
        unsigned long value = 0;
        auto [end, failure] =
            std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
        if (failure != std::errc() || end != digits.data() + digits.size() || value > max) {
            Fail(section, key, text, "must be a number from 0 to " + std::to_string(max));
            return fallback;
        }
        return static_cast<Number>(value);
    }

    bool Flag(const char* section, const char* key) {
        return Value<unsigned>(section, key, 0, 1) == 1;
    }

    // Address and Port; a `defaultPort` of 0 makes the port required, and a listener may take
    // port 0 (the system chooses one).
    net::Endpoint Endpoint(const char* section, std::uint16_t defaultPort, bool listener) {
        net::Endpoint endpoint;
        endpoint.host = Text(section, "Address");
        if (endpoint.host.empty()) {
            Fail(section, "Address", "", "is missing");
        }
        if (Text(section, "Port").empty() && defaultPort == 0) {
            Fail(section, "Port", "", "is missing");
        }
        endpoint.port = Value<std::uint16_t>(section, "Port", defaultPort, 65535);
        if (endpoint.port == 0 && !listener) {
            Fail(section, "Port", "0", "must be a port from 1 to 65535");
        }
        return endpoint;
    }

    HostSettings Host() {
        HostSettings host;
        host.fingerprint = Text("Host", "Fingerprint");
        if (!host.fingerprint.empty() && host.fingerprint.rfind("SHA256:", 0) != 0) {
            Fail("Host", "Fingerprint", host.fingerprint, "must be a key's SHA256: fingerprint");
        }
        host.passwordFile = Text("Host", "PasswordFile");
        if (!host.passwordFile.empty() && host.passwordFile[0] != '/') {
            const std::size_t slash = path_.find_last_of('/');
            host.passwordFile =
                (slash == std::string::npos ? std::string(".") : path_.substr(0, slash)) + "/" +
                host.passwordFile;
        }
        host.gateway = Text("Host", "Gateway");
        if (!host.gateway.empty() && !IsGatewayName(host.gateway)) {
            Fail("Host", "Gateway", host.gateway,
                 "must be 1 to 63 letters, digits, '.', '_' or '-'");
        }
        return host;
    }

    ViewSettings View() {
        ViewSettings view;
        view.capabilities = Value<std::uint16_t>("View", "Capabilities", view.capabilities, 0xFFFF);
        view.reducedMode = Value<std::uint8_t>("View", "ReducedColour", 0, 0xFF);
        view.viewOnly = Flag("View", "ViewOnly");
        const std::string scale = Text("View", "Scale");
        if (scale == "1:1") {
            view.fitToWindow = false;
        } else if (!scale.empty() && scale != "fit") {
            Fail("View", "Scale", scale, "must be fit or 1:1");
        }
        return view;
    }

    void Fail(const char* section, const char* key, const std::string& value,
              const std::string& what) {
        if (error_.empty()) {
            error_ = path_ + ": [" + section + "] " + key +
                     (value.empty() ? std::string(" ") : "=" + value + " ") + what;
        }
    }
    bool Finish(std::string* error) const {
        *error = error_;
        return error_.empty();
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
    std::string error_;
};

}  // namespace

bool ReadCallhostFile(const std::string& path, CallhostFile* file, std::string* error) {
    SessionFileReader reader(path);
    if (!reader.Exists()) {
        *error = path + ": no such file";
        return false;
    }
    file->host = reader.Endpoint("Host", kDefaultHostPort, false);
    file->settings = reader.Host();
    file->view = reader.View();
    return reader.Finish(error);
}

bool ReadOnlineServiceFile(const std::string& path, OnlineServiceFile* file, std::string* error) {
    SessionFileReader reader(path);
    if (!reader.Exists()) {
        *error = path + ": no such file";
        return false;
    }
    file->listen = reader.Endpoint("Listen", 0, true);
    file->settings = reader.Host();
    file->view = reader.View();
    return reader.Finish(error);
}

}  // namespace farvane::viewer
