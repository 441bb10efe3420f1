// fvhost: starts a host as the suite's main program would (the session library, the host
// pilot through dlopen, ACT_START) with the network stages, and runs until it ends.
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "demo_display.h"
#include "options.h"
#include "platform/gdi/display_registry.h"
#include "platform/net/state_dir.h"
#include "session/password_input.h"
#include "suite/fvses32/admission.h"
#include "suite/fvses32/net_host.h"
#include "suite/fvses32/xtest_input.h"
#include "videoscan/video_scan.h"

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitBadArguments = 2;

void Log(const std::string& line) {
    std::time_t now = std::time(nullptr);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", std::localtime(&now));
    std::fprintf(stderr, "fvhost %s %s\n", stamp, line.c_str());
    std::fflush(stderr);
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "fvhost: %s\n", message.c_str());
    return kExitFailed;
}

std::string OptionsFile(std::string* error) {
    std::string folder;
    farvane::net::NetStatus status = farvane::net::UserStateDirectory(&folder);
    if (!status.ok()) {
        *error = status.message;
        return "";
    }
    return folder + "/" + kHostOptionsFileName;
}

int SetPassword() {
    std::string error;
    const std::string file = OptionsFile(&error);
    std::string password;
    std::string hash;
    if (file.empty() || !farvane::password::ReadNewPassword(&password, &error)) {
        return Fail(error);
    }
    if (!HashPassword(password, &hash) || !StorePasswordHash(file, hash)) {
        return Fail("cannot store the password in " + file);
    }
    std::printf("fvhost: the password is stored (as a hash) in %s\n", file.c_str());
    return 0;
}

// The hash to admit by: of the password file's password, else the stored one.
bool AdmissionHash(const fvhost::Options& options, std::string* hash, std::string* error) {
    if (!options.passwordFile.empty()) {
        std::string password;
        if (!farvane::password::ReadPasswordFile(options.passwordFile, &password, error)) {
            return false;
        }
        if (!HashPassword(password, hash)) {
            *error = "cannot hash the password";
            return false;
        }
        return true;
    }
    const std::string file = OptionsFile(error);
    if (file.empty()) {
        return false;
    }
    *hash = ReadPasswordHash(file);
    if (hash->empty()) {
        Log("no password is set: every viewer will be refused (see --set-password)");
    }
    return true;
}

// The host pilot installed beside this program (FVHOST_INSTALLED_PILOT, relative to the
// program's folder) when there is one, else the one the build made.
std::string PilotLibraryPath() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        const std::filesystem::path installed = program.parent_path() / FVHOST_INSTALLED_PILOT;
        if (std::filesystem::exists(installed, error)) {
            return installed.lexically_normal().string();
        }
    }
    return FVHOST_PILOT_LIBRARY;
}

VideoScannerMaker ScannerMaker() {
    VideoScannerMaker maker;
    maker.create = [](CFVSession* session, const char* desktop) {
        return reinterpret_cast<std::uintptr_t>(new CVideoScan(session, desktop));
    };
    maker.destroy = [](std::uintptr_t scanner) { delete reinterpret_cast<CVideoScan*>(scanner); };
    return maker;
}

// Runs until the host ends (the host pilot ended it, or --once after a session) or a signal.
void RunUntilOver(CNetHost& host) {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    const timespec tick{0, 200 * 1000 * 1000};
    bool quitting = false;
    while (!host.IsOver()) {
        if (sigtimedwait(&signals, nullptr, &tick) > 0 && !quitting) {
            Log("stopping");
            host.Quit();
            quitting = true;
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::string error;
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const std::optional<fvhost::Options> options = fvhost::ParseOptions(arguments, error);
    if (!options) {
        std::fprintf(stderr, "fvhost: %s\n\n%s", error.c_str(), fvhost::kUsage);
        return kExitBadArguments;
    }
    if (options->help) {
        std::fputs(fvhost::kUsage, stdout);
        return 0;
    }
    if (options->setPassword) {
        return SetPassword();
    }
    // Signals are taken by RunUntilOver; every thread started from here on inherits the mask.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    std::unique_ptr<fvhost::DemoDisplay> demo;
    std::string desktop = options->display;
    if (options->demo) {
        demo = std::make_unique<fvhost::DemoDisplay>();
        desktop = fvhost::DemoDisplay::kDesktopName;
    } else if (desktop.empty()) {
        const char* environment = std::getenv("DISPLAY");
        desktop = environment ? environment : "";
    }
    if (desktop.empty()) {
        return Fail(
            "no X display to show: set DISPLAY or give --display NAME (or --demo for a "
            "memory display with moving content)");
    }
    if (!farvane::gdi::OpenDisplay(desktop)) {
        return Fail("cannot open the display " + desktop);
    }

    NetHostConfig config;
    config.host.pilotLibraryPath = PilotLibraryPath();
    config.link.listen = options->listen;
    config.link.call = options->call;
    config.link.gatewayName = options->gatewayName;
    config.link.log = Log;
    if (!AdmissionHash(*options, &config.admission.passwordHash, &error)) {
        return Fail(error);
    }
    config.session.desktopName = desktop;
    config.session.viewOnly = options->viewOnly;
    // Input goes into the display shown, and only from an admitted viewer of a host that is
    // not view-only (the host session stage sees to both).
    std::unique_ptr<XTestInjector> input;
    if (!options->viewOnly && !options->demo) {
        input = XTestInjector::Open(desktop, &error);
        if (!input) {
            Log(error);
        }
    }
    config.session.input = input.get();
    config.session.scanner = ScannerMaker();
    CNetHost* running = nullptr;
    if (options->once) {
        config.session.onSessionEnd = [&running] { running->Quit(); };
    }
    std::unique_ptr<CNetHost> host = CNetHost::Create(std::move(config), &error);
    if (!host) {
        return Fail(error);
    }
    running = host.get();
    Log("showing " + desktop + (options->viewOnly ? " (view only)" : ""));
    host->Start(options->call ? 1 : 0);
    RunUntilOver(*host);
    host.reset();
    return 0;
}
