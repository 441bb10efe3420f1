#include "peer_run.h"

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <thread>

#include "child_process.h"
#include "rfb_counter.h"
#include "scanner_host.h"
#include "x_desktop.h"

namespace peers {

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Peer {
    SideBytes* side = nullptr;
    ChildProcess server;
    RfbCounter counter;
};

std::vector<std::string> PeerCommand(const std::string& name, const std::string& display,
                                     int port) {
    const std::string portText = std::to_string(port);
    if (name == "x11vnc") {
        return {"x11vnc", "-display", display,   "-rfbport", portText, "-localhost",
                "-no6",   "-nopw",    "-shared", "-forever", "-quiet"};
    }
    return {"x0vncserver", "-display",       display, "-rfbport",     portText,
            "-localhost",  "-SecurityTypes", "None",  "-AlwaysShared"};
}

// Starts the server on a port the system just gave out; another program may take the port in
// between, so a server that does not answer is tried again on a new port.
bool StartPeer(Peer& peer, const std::string& display) {
    std::string error;
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int port = FreeLoopbackPort();
        if (port <= 0 || !peer.server.Start(PeerCommand(peer.side->name, display, port))) {
            error = "cannot start " + peer.side->name;
            continue;
        }
        if (peer.counter.Start(port, 10000, error)) {
            return true;
        }
        peer.server.Stop();
    }
    peer.side->note = error;
    return false;
}

// A private Windows directory whose FARV.INI is the fresh installation's, with the cell
// geometry replaced when one is given.
class IniFolder {
public:
    bool Create(const PeerSettings& settings, std::string& geometry, std::string& error) {
        char pattern[] = "/tmp/bench_peers_ini-XXXXXX";
        if (mkdtemp(pattern) == nullptr) {
            error = "cannot create a temporary folder";
            return false;
        }
        path_ = pattern;
        std::ifstream in(settings.freshIni);
        if (!in) {
            error = "cannot read " + settings.freshIni;
            return false;
        }
        std::ostringstream text;
        std::string line;
        std::string width = "-1";
        std::string height = "-1";
        while (std::getline(in, line)) {
            if (line.rfind("CellWidth=", 0) == 0) {
                width = line.substr(10);
            } else if (line.rfind("CellHeight=", 0) == 0) {
                height = line.substr(11);
            } else {
                text << line << "\n";
                if (line == "[Video]") {
                    text << "@CELL@\n";
                }
            }
        }
        if (!settings.cellOverride.empty()) {
            const std::size_t cross = settings.cellOverride.find('x');
            width = settings.cellOverride.substr(0, cross);
            height = cross == std::string::npos ? "-1" : settings.cellOverride.substr(cross + 1);
        }
        std::string content = text.str();
        const std::string cell = "CellWidth=" + width + "\nCellHeight=" + height;
        const std::size_t mark = content.find("@CELL@");
        if (mark != std::string::npos) {
            content.replace(mark, 6, cell);
        } else {
            content += "[Video]\n" + cell + "\n";
        }
        std::ofstream(path_ + "/FARV.INI") << content;
        setenv("FARVANE_WINDIR", path_.c_str(), 1);
        geometry = width + " x " + height;
        return true;
    }
    ~IniFolder() {
        if (!path_.empty()) {
            std::error_code ignored;
            fs::remove_all(path_, ignored);
        }
    }

private:
    std::string path_;
};

bool WaitFor(const std::function<bool()>& done, int limitMs) {
    const Clock::time_point until = Clock::now() + std::chrono::milliseconds(limitMs);
    while (!done()) {
        if (Clock::now() >= until) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

std::vector<std::string> TypedLines(const std::string& file, int count) {
    std::vector<std::string> lines;
    std::ifstream in(file);
    std::string line;
    while (static_cast<int>(lines.size()) < count && std::getline(in, line)) {
        if (!line.empty()) {
            lines.push_back(line.substr(0, 76));
        }
    }
    while (static_cast<int>(lines.size()) < count) {
        lines.push_back("line " + std::to_string(lines.size() + 1));
    }
    return lines;
}

// Every side has sent its last change: ours has made two passes since `passes`, and nobody
// has sent anything for a while.
bool WaitUntilAllQuiet(const ScannerHost& ours, unsigned long passes,
                       const std::vector<std::unique_ptr<Peer>>& running) {
    return WaitFor(
        [&] {
            if (ours.Passes() < passes + 2 || ours.IdleMs() < 1500) {
                return false;
            }
            for (const auto& peer : running) {
                if (peer->counter.IdleMs() < 1500) {
                    return false;
                }
            }
            return true;
        },
        60000);
}

}  // namespace

PeerRun MeasurePeers(const PeerSettings& settings) {
    PeerRun run;
    run.capabilities = settings.capabilities;
    run.screenWidth = settings.width;
    run.screenHeight = settings.height;
    run.ours.name = "ours";
    for (const char* name : {"x11vnc", "x0vncserver"}) {
        run.peers.emplace_back().name = name;
    }
    XDesktop desktop;
    if (!desktop.Start(settings.width, settings.height, settings.textFiles, run.error)) {
        return run;
    }
    IniFolder ini;
    if (!ini.Create(settings, run.cellGeometry, run.error)) {
        return run;
    }
    std::vector<std::unique_ptr<Peer>> running;
    for (SideBytes& side : run.peers) {
        if (!OnPath(side.name)) {
            side.note = side.name + " is not installed (scripts/bootstrap --bench installs it)";
            continue;
        }
        auto peer = std::make_unique<Peer>();
        peer->side = &side;
        if (StartPeer(*peer, desktop.display())) {
            running.push_back(std::move(peer));
        }
    }
    if (running.empty()) {
        run.error = "no VNC server ran (";
        for (const SideBytes& side : run.peers) {
            run.error += side.name + ": " + side.note + (&side == &run.peers.back() ? ")" : "; ");
        }
        return run;
    }
    ScannerHost ours;
    if (!ours.Start(desktop.display(), settings.capabilities, run.error)) {
        return run;
    }

    // The first whole picture.
    WaitFor([&] { return ours.Passes() >= 1; }, 60000);
    WaitFor([&] { return ours.IdleMs() >= 200; }, 5000);
    run.ours.firstPicture = ours.Bytes();
    for (const auto& peer : running) {
        if (!WaitFor([&] { return peer->counter.FirstPictureBytes() != 0; }, 30000)) {
            peer->side->note = peer->counter.Failed() ? peer->counter.FailureText()
                                                      : "no whole picture within 30 s";
            continue;
        }
        peer->side->firstPicture = peer->counter.FirstPictureBytes();
    }
    WaitUntilAllQuiet(ours, ours.Passes(), running);

    // The typing session.
    const std::size_t oursBefore = ours.Bytes();
    run.ourTypingStart = oursBefore;
    std::vector<std::size_t> peersBefore;
    for (const auto& peer : running) {
        peersBefore.push_back(peer->counter.Bytes());
    }
    const unsigned long passesBefore = ours.Passes();
    const Clock::time_point typingStart = Clock::now();
    for (const std::string& line : TypedLines(settings.textFiles.front(), settings.lines)) {
        desktop.TypeLine(line);
        ++run.typedLines;
        std::this_thread::sleep_for(std::chrono::milliseconds(settings.lineIntervalMs));
    }
    WaitUntilAllQuiet(ours, ours.Passes(), running);
    if (const unsigned long passes = ours.Passes() - passesBefore; passes > 0) {
        const std::chrono::duration<double, std::milli> typingTime = Clock::now() - typingStart;
        run.msPerPass = typingTime.count() / static_cast<double>(passes);
    }
    run.ours.typing = ours.Bytes() - oursBefore;
    run.ours.ran = true;
    for (std::size_t i = 0; i < running.size(); ++i) {
        Peer& peer = *running[i];
        if (peer.side->firstPicture != 0 && !peer.counter.Failed()) {
            peer.side->typing = peer.counter.Bytes() - peersBefore[i];
            peer.side->ran = true;
        } else if (peer.side->note.empty()) {
            peer.side->note = peer.counter.FailureText();
        }
        peer.counter.Stop();
        peer.server.Stop();
    }
    run.ourStream = ours.Sent();
    ours.Stop();
    run.ran = true;
    return run;
}

}  // namespace peers
