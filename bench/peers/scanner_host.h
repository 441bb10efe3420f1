// Our video scanner on an X display, run as a host session runs it: this class plays the
// session library, the host pilot and the other side's part in the CB block, and counts the
// bytes the scanner transmits.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CVideoScan;

namespace peers {

class ScannerHost {
public:
    ScannerHost();
    ~ScannerHost();
    ScannerHost(const ScannerHost&) = delete;
    ScannerHost& operator=(const ScannerHost&) = delete;

    // Starts the scanner on the display with the viewer's capability word and asks for the
    // picture. The FARV.INI in effect is the caller's ($FARVANE_WINDIR).
    bool Start(const std::string& display, std::uint16_t capabilities, std::string& error);
    void Stop();

    std::size_t Bytes() const;
    // Every byte sent so far, in order.
    std::vector<std::uint8_t> Sent() const;
    unsigned long Passes() const;
    long IdleMs() const;

private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
    CVideoScan* scanner_ = nullptr;
};

}  // namespace peers
