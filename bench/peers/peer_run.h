// One measurement of our scanner against the VNC servers on the same real X desktop: the bytes
// of the first whole picture and of a typing session, for every side that could run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace peers {

struct SideBytes {
    std::string name;
    bool ran = false;
    std::string note;  // why it did not run
    std::size_t firstPicture = 0;
    std::size_t typing = 0;
};

struct PeerRun {
    bool ran = false;
    std::string error;  // why nothing could be measured
    SideBytes ours;
    std::vector<SideBytes> peers;  // x11vnc, x0vncserver
    std::string cellGeometry;      // "CellWidth x CellHeight" in the FARV.INI used
    int typedLines = 0;
    std::vector<std::uint8_t> ourStream;  // everything our scanner sent, in order
    std::size_t ourTypingStart = 0;       // where the typing session starts in it
    std::uint16_t capabilities = 0;       // the capability word our scanner was given
    int screenWidth = 0;
    int screenHeight = 0;
    double msPerPass = 0;  // our passes over the screen during the typing session
};

struct PeerSettings {
    int width = 1280;
    int height = 800;
    std::uint16_t capabilities = 0x0011;  // deflate, a 4 KB bitmap cache
    std::string freshIni;                 // the FARV.INI a fresh installation gets
    std::vector<std::string> textFiles;   // what the two terminals show
    std::string cellOverride;             // "WxH" to try another geometry; empty: the INI's
    int lines = 20;
    int lineIntervalMs = 1000;
};

PeerRun MeasurePeers(const PeerSettings& settings);

}  // namespace peers
