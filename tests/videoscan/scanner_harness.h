// Runs a scanner the way a host session does: a session with a transmit queue whose bytes a
// test reads back, the host's global record with a local CB block and a video event, and a
// memory display as the scanner's desktop. The test plays the other side in the CB block.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/gdi/memory_display.h"
#include "session/byte_queue.h"
#include "session/cb_block.h"
#include "session/fv_session.h"
#include "session/host_data.h"
#include "suite/fvses32/session_core.h"
#include "videoscan/video_scan.h"

namespace scantest {

using Bytes = std::vector<std::uint8_t>;

// CB block offsets of the items the scanner uses (the layout contract).
namespace cb {
inline constexpr std::size_t kSessionStatus = CBItemOffset(kCBSessionStatus);
inline constexpr std::size_t kVideoState = CBItemOffset(kCBVideoState);
inline constexpr std::size_t kDeviceColours = CBItemOffset(kCBDeviceColours);
inline constexpr std::size_t kScreenWidth = CBItemOffset(kCBScreenWidth);
inline constexpr std::size_t kScreenHeight = CBItemOffset(kCBScreenHeight);
inline constexpr std::size_t kCapabilities = CBItemOffset(kCBRemoteCapabilities);
inline constexpr std::size_t kVideoVersion = CBItemOffset(kCBVideoVersion);
inline constexpr std::size_t kSessionReady = CBItemOffset(kCBSessionReady);
inline constexpr std::size_t kRemoteOptions = CBItemOffset(kCBRemoteOptions);
inline constexpr std::size_t kBitmapRequest = CBItemOffset(kCBBitmapRequest);
inline constexpr std::size_t kCompressionHint = CBItemOffset(kCBCompressionHint);
inline constexpr std::size_t kUnused154 = CBItemOffset(kCBUnused154);
inline constexpr std::size_t kReducedMode = CBItemOffset(kCBReducedColourMode);
}  // namespace cb

class CaptureSink final : public CByteQueueSink {
public:
    int MoveOut(unsigned char* source, int count) override;
    Bytes Snapshot();
    std::size_t Size();

private:
    std::mutex lock_;
    Bytes bytes_;
};

// Gives the protected members to the tests.
class ScannerProbe : public CVideoScan {
public:
    using CVideoScan::BeginPass;
    using CVideoScan::CacheClear;
    using CVideoScan::CheckForRepeatedBitmap;
    using CVideoScan::CheckSum;
    using CVideoScan::CVideoScan;
    using CVideoScan::FlushIfWillNotFit;
    using CVideoScan::GetCBItemByte;
    using CVideoScan::GetCBItemDoubleWord;
    using CVideoScan::GetCBItemWord;
    using CVideoScan::GetScreenBits;
    using CVideoScan::InitBitmapInfo;
    using CVideoScan::InitRemoteBackgroundColor;
    using CVideoScan::NextRowToScan;
    using CVideoScan::ReadCellWithChecksum;
    using CVideoScan::ReadRowWithChecksums;
    using CVideoScan::RowCellBuffer;
    using CVideoScan::RptCompress;
    using CVideoScan::ScanCellRow;
    using CVideoScan::ScanScheduledRow;
    using CVideoScan::SendCursor;
    using CVideoScan::SendCursorShape;
    using CVideoScan::SendPalette;
    using CVideoScan::SendSeqBuffered;
    using CVideoScan::SetCBItemByte;
    using CVideoScan::SetCBItemDoubleWord;
    using CVideoScan::SetCBItemWord;
    using CVideoScan::SizeBitmapCache;
    using CVideoScan::SumRowInPlace;

    WORD Columns() const { return m_Columns; }
    WORD Rows() const { return m_Rows; }
    WORD CellWidth() const { return m_CellWidth; }
    WORD CellHeight() const { return m_CellHeight; }
    WORD RowBytes() const { return m_RowBytes; }
    WORD DeviceRowBytes() const { return m_DeviceRowBytes; }
    WORD CellDataSize() const { return m_CellDataSize; }
    WORD CellBufferSize() const { return m_CellBufferSize; }
    const BYTE* CellBuffer() const { return m_pCellBuffer; }
    WORD CacheCapacity() const { return m_CacheCapacity; }
    WORD SeqFill() const { return m_SeqFill; }
    WORD PaletteGeneration() const { return m_PaletteGeneration; }
    WORD CompressionMode() const { return m_CompressionMode; }
    const BYTE* MonoTable() const { return m_MonoTable; }
    const BYTE* ReducedTable() const { return m_ReducedTable; }
    void SetCompressionMode(WORD mode) { m_CompressionMode = mode; }
    void SetCompressionOption(WORD option) { m_CompressionOption = option; }
    void SetSeqBusy(bool busy) { m_bSeqBusy = busy ? TRUE : FALSE; }
    void SetRemoteOptionWord(WORD word) { m_RemoteOptionWord = word; }
    void SetCacheCapacity(WORD capacity) { m_CacheCapacity = capacity; }
    bool Hinted() const { return m_RowSchedule.hinted(); }
    DWORD RowCellChecksum(WORD column) const { return m_RowCopiers.at(column).Value(); }
    DWORD RowCellSum(WORD column) const { return m_RowSums.at(column).Value(); }
    // One pass as the check thread makes it at tick count now, without its pauses, flushed.
    void Pass(int firstPass, DWORD now) {
        BeginPass(firstPass, now);
        for (WORD row = NextRowToScan(0); row < m_Rows; row = NextRowToScan(row + 1)) {
            ScanScheduledRow(row, firstPass);
        }
        FlushSeqBuffer();
    }
};

struct HarnessOptions {
    std::string desktop = "memory:128x48x32";
    // "FARV.INI" keys; empty means the key is absent.
    std::string compression;
    std::string cellWidth;
    std::string cellHeight;
    bool damageHints = false;  // "DamageHints=1"
    BYTE reducedMode = 0;
    bool connected = true;
};

class ScannerHarness {
public:
    explicit ScannerHarness(HarnessOptions options);
    ~ScannerHarness();
    ScannerHarness(const ScannerHarness&) = delete;
    ScannerHarness& operator=(const ScannerHarness&) = delete;

    // Constructs the scanner (its check thread starts at once) and waits until the thread has
    // initialised the desktop. The calling thread is attached to the same desktop.
    ScannerProbe* Start();
    // Deletes the scanner and waits until every byte it transmitted has been captured.
    void Stop();
    ScannerProbe* scanner() { return scanner_; }

    // The CB block, read and written as the other parties do (byte by byte, no lock).
    BYTE CbByte(std::size_t offset);
    WORD CbWord(std::size_t offset);
    void SetCbByte(std::size_t offset, BYTE value);
    void SetCbWord(std::size_t offset, WORD value);

    // Lets video run: session status, ready, video wanted and available, and the video event.
    void AllowVideo();
    void SetVideoEvent(bool set);
    // Answers a video start as the other side: capabilities and options, then the request.
    void RequestBitmaps(WORD capabilities, WORD options = 0);
    // Waits (real time) until pred holds; false on time-out.
    static bool Eventually(const std::function<bool()>& pred,
                           std::chrono::milliseconds limit = std::chrono::seconds(20));
    // Waits until the transmitted stream stops growing for `quiet`.
    void WaitQuiet(std::chrono::milliseconds quiet);

    // Plays a connection that still carries `unsent` bytes the capture took.
    void SetUnsent(std::function<std::size_t()> unsent) {
        core_->BindTransmitSink(&sink_, std::move(unsent));
    }
    Bytes Transmitted() { return sink_.Snapshot(); }
    std::size_t TransmittedSize() { return sink_.Size(); }
    std::shared_ptr<farvane::gdi::MemoryDisplay> display() { return display_; }
    CFVSession& session() { return session_; }
    CSessionCore& core() { return *core_; }
    HOSTDATA& host() { return *host_; }
    const std::string& desktop() const { return desktop_; }

private:
    HarnessOptions options_;
    std::string desktop_;
    std::string windowsDir_;
    CaptureSink sink_;
    CFVSession session_;
    std::unique_ptr<CSessionCore> core_;
    std::unique_ptr<HOSTDATA> host_;
    std::vector<unsigned char> cbBlock_;
    std::shared_ptr<farvane::gdi::MemoryDisplay> display_;
    ScannerProbe* scanner_ = nullptr;
};

// The frames of a stream, split by their headers.
struct Frame {
    std::uint8_t tag = 0;      // 0x55 video, 0x44 palette
    std::uint16_t packed = 0;  // video: packed length field with the LZ bit
    std::uint16_t raw = 0;
    Bytes data;   // bytes after the header
    Bytes whole;  // header and data
};
std::vector<Frame> SplitFrames(const Bytes& stream);

// One record of a raw frame's record sequence.
struct Record {
    std::uint8_t type = 0;
    std::uint8_t flags = 0;  // drawing records
    Bytes bytes;             // the whole record
};
// The records of the raw frames of a stream (compressed frames are skipped). Drawing records
// are measured with the depth the last format part announced.
std::vector<Record> RawRecords(const std::vector<Frame>& frames);
bool HasCursorRecord(const std::vector<Frame>& frames, std::size_t count = 1);

// Little-endian readers.
inline std::uint16_t Word(const Bytes& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes.at(at) | bytes.at(at + 1) << 8);
}
inline std::uint32_t DoubleWord(const Bytes& bytes, std::size_t at) {
    return Word(bytes, at) | static_cast<std::uint32_t>(Word(bytes, at + 2)) << 16;
}

// A unique memory desktop name for a test.
std::string MemoryDesktop(int width, int height, const std::string& depth);

}  // namespace scantest
