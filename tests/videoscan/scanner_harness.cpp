#include "scanner_harness.h"

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/gdi/display_registry.h"
#include "platform/gdi/gdi.h"
#include "platform/kernel/synch.h"

namespace scantest {

int CaptureSink::MoveOut(unsigned char* source, int count) {
    std::lock_guard guard(lock_);
    bytes_.insert(bytes_.end(), source, source + count);
    return count;
}

Bytes CaptureSink::Snapshot() {
    std::lock_guard guard(lock_);
    return bytes_;
}

std::size_t CaptureSink::Size() {
    std::lock_guard guard(lock_);
    return bytes_.size();
}

std::string MemoryDesktop(int width, int height, const std::string& depth) {
    static std::atomic<int> next{0};
    return "memory:" + std::to_string(width) + "x" + std::to_string(height) + "x" + depth + "#vs" +
           std::to_string(getpid() % 100000) + "-" + std::to_string(next++);
}

ScannerHarness::ScannerHarness(HarnessOptions options)
    : options_(std::move(options)), cbBlock_(kCBBlockSize, 0) {
    desktop_ = options_.desktop;
    static std::atomic<int> folders{0};
    windowsDir_ = (std::filesystem::temp_directory_path() /
                   ("fvdsp32-test-" + std::to_string(getpid()) + "-" + std::to_string(folders++)))
                      .string();
    std::filesystem::create_directories(windowsDir_);
    std::ofstream ini(windowsDir_ + "/FARV.INI");
    ini << "[Farvane]\n";
    if (!options_.compression.empty()) {
        ini << "COMPRESSION=" << options_.compression << "\n";
    }
    ini << "[Video]\n";
    ini << "DamageHints=" << (options_.damageHints ? 1 : 0) << "\n";
    if (!options_.cellWidth.empty()) {
        ini << "CellWidth=" << options_.cellWidth << "\n";
    }
    if (!options_.cellHeight.empty()) {
        ini << "CellHeight=" << options_.cellHeight << "\n";
    }
    ini.close();
    setenv("FARVANE_WINDIR", windowsDir_.c_str(), 1);

    core_ = std::make_unique<CSessionCore>(&session_);
    session_.m_pCore = core_.get();
    core_->SetConnected(options_.connected);
    core_->BindTransmitSink(&sink_);
    host_ = std::make_unique<HOSTDATA>();
    std::memset(host_.get(), 0, sizeof(HOSTDATA));
    host_->CBBlock = cbBlock_.data();
    host_->VideoEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    core_->GlobalProcData(reinterpret_cast<std::uintptr_t>(host_.get()));
    cbBlock_[cb::kReducedMode] = options_.reducedMode;
    display_ = farvane::gdi::FindMemoryDisplay(desktop_);
}

ScannerHarness::~ScannerHarness() {
    Stop();
    core_->BindTransmitSink(nullptr);
    core_->Stop();
    CloseHandle(host_->VideoEvent);
    std::error_code ignored;
    std::filesystem::remove_all(windowsDir_, ignored);
}

ScannerProbe* ScannerHarness::Start() {
    SetThreadDesktop(OpenDesktopA(desktop_.c_str(), 0, FALSE, 0x1FF));
    scanner_ = new ScannerProbe(&session_, desktop_.c_str());
    scanner_->DesktopInit();
    // The check thread initialises under the init lock; once DesktopInit returns here, the
    // grid and buffers are in place whichever thread ran it.
    return scanner_;
}

void ScannerHarness::Stop() {
    if (scanner_ == nullptr) {
        return;
    }
    delete scanner_;
    scanner_ = nullptr;
    WaitQuiet(std::chrono::milliseconds(100));
}

BYTE ScannerHarness::CbByte(std::size_t offset) {
    return std::atomic_ref<unsigned char>(cbBlock_[offset]).load(std::memory_order_relaxed);
}

WORD ScannerHarness::CbWord(std::size_t offset) {
    return static_cast<WORD>(CbByte(offset) | CbByte(offset + 1) << 8);
}

void ScannerHarness::SetCbByte(std::size_t offset, BYTE value) {
    std::atomic_ref<unsigned char>(cbBlock_[offset]).store(value, std::memory_order_relaxed);
}

void ScannerHarness::SetCbWord(std::size_t offset, WORD value) {
    SetCbByte(offset, static_cast<BYTE>(value));
    SetCbByte(offset + 1, static_cast<BYTE>(value >> 8));
}

void ScannerHarness::AllowVideo() {
    SetCbByte(cb::kSessionStatus, 0x04);
    SetCbByte(cb::kSessionReady, 1);
    SetCbByte(cb::kVideoState, static_cast<BYTE>(CbByte(cb::kVideoState) | 0x81));
    SetVideoEvent(true);
}

void ScannerHarness::SetVideoEvent(bool set) {
    if (set) {
        SetEvent(host_->VideoEvent);
    } else {
        ResetEvent(host_->VideoEvent);
    }
}

void ScannerHarness::RequestBitmaps(WORD capabilities, WORD options) {
    // The scanner clears capabilities and request at the video start; answer after it.
    Eventually([&] { return (CbByte(cb::kVideoState) & 0x08) != 0; });
    SetCbWord(cb::kCapabilities, capabilities);
    SetCbWord(cb::kRemoteOptions, options);
    SetCbWord(cb::kBitmapRequest, 1);
}

bool ScannerHarness::Eventually(const std::function<bool()>& pred,
                                std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (pred()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return pred();
}

void ScannerHarness::WaitQuiet(std::chrono::milliseconds quiet) {
    std::size_t size = sink_.Size();
    auto since = std::chrono::steady_clock::now();
    const auto end = since + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        const std::size_t now = sink_.Size();
        if (now != size) {
            size = now;
            since = std::chrono::steady_clock::now();
        } else if (std::chrono::steady_clock::now() - since >= quiet) {
            return;
        }
    }
}

std::vector<Frame> SplitFrames(const Bytes& stream) {
    std::vector<Frame> frames;
    std::size_t at = 0;
    while (at + 5 <= stream.size() && stream[at] == 0x1B) {
        Frame frame;
        frame.tag = stream[at + 1];
        std::size_t headerSize = 0;
        std::size_t dataSize = 0;
        if (frame.tag == 0x55) {
            frame.packed = Word(stream, at + 2);
            frame.raw = Word(stream, at + 4);
            headerSize = 6;
            dataSize = frame.packed & 0x7FFF;
        } else {
            headerSize = 5;
            dataSize = Word(stream, at + 3);
        }
        if (at + headerSize + dataSize > stream.size()) {
            break;
        }
        frame.data.assign(stream.begin() + static_cast<std::ptrdiff_t>(at + headerSize),
                          stream.begin() + static_cast<std::ptrdiff_t>(at + headerSize + dataSize));
        frame.whole.assign(
            stream.begin() + static_cast<std::ptrdiff_t>(at),
            stream.begin() + static_cast<std::ptrdiff_t>(at + headerSize + dataSize));
        frames.push_back(std::move(frame));
        at += headerSize + dataSize;
    }
    return frames;
}

std::vector<Record> RawRecords(const std::vector<Frame>& frames) {
    std::vector<Record> records;
    int depth = 8;
    for (const Frame& frame : frames) {
        if (frame.tag != 0x55 || frame.packed != frame.raw) {
            continue;
        }
        const Bytes& data = frame.data;
        std::size_t at = 0;
        while (at < data.size()) {
            Record record;
            record.type = data[at];
            std::size_t length = 0;
            switch (record.type) {
                case 1:
                    length = 17;
                    break;
                case 2:
                    length = 1;
                    break;
                case 9:
                    length = data.at(at + 1) ? 14 + Word(data, at + 6) * Word(data, at + 8) / 4 : 2;
                    break;
                case 4: {
                    record.flags = data.at(at + 1);
                    std::size_t part = at + 10;
                    part += (record.flags & 0x08) ? 4 : 0;
                    part += (record.flags & 0x10) ? 10 : 0;
                    part += (record.flags & 0x20) ? 10 : 0;
                    if (record.flags & 0x03) {
                        part += 4;
                        if (record.flags & 0x04) {
                            depth = data.at(part + 1);
                            part += 2;
                        }
                        const std::size_t rows = Word(data, part);
                        part += 2;
                        std::size_t rowBytes = 0;
                        if (depth == 1) {
                            rowBytes = data.at(part);
                            part += 1;
                        } else {
                            rowBytes = Word(data, part);
                            part += 2;
                        }
                        part += 1 + ((record.flags & 0x80) ? 3 : 0) + rows * rowBytes;
                    }
                    length = part - at;
                    break;
                }
                default:
                    length = data.size() - at;  // unknown: the rest of the frame
                    break;
            }
            length = std::min(length, data.size() - at);
            record.bytes.assign(data.begin() + static_cast<std::ptrdiff_t>(at),
                                data.begin() + static_cast<std::ptrdiff_t>(at + length));
            records.push_back(std::move(record));
            at += length;
        }
    }
    return records;
}

bool HasCursorRecord(const std::vector<Frame>& frames, std::size_t count) {
    std::size_t seen = 0;
    for (const Record& record : RawRecords(frames)) {
        seen += record.type == 9 ? 1 : 0;
    }
    return seen >= count;
}

}  // namespace scantest
