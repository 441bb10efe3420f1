// The check thread: it waits for the host's video event, runs the status check, and while
// sending scans one row of cells per step.
#include <algorithm>
#include <chrono>
#include <cstring>

#include "platform/gdi/gdi.h"
#include "platform/kernel/synch.h"
#include "platform/kernel/tick.h"
#include "session/cb_block.h"
#include "session/fv_session.h"
#include "suite/fvcpress/fvcpress.h"
#include "videoscan/byte_writer.h"
#include "videoscan/cell_checksum.h"
#include "videoscan/video_scan.h"

namespace {

constexpr DWORD kRowPause = 5;
// A pass does not begin while more than this many bytes are on their way to the other side:
// a slow connection then carries one fresh picture after another instead of a queue of old
// ones, and what the scanner sends is never more than this (and one pass) behind the screen.
constexpr std::size_t kLargestBacklog = 128 * 1024;
// With hints, the pause after a pass is at most that of its rows (kRowPause each) and at least
// this many times as long as the pass worked, so that the scan takes at most a third of a
// processor while drawing goes on, and a large change (a window moved) leaves no long wait.
constexpr DWORD kPauseToWork = 2;
constexpr DWORD kExitStopped = static_cast<DWORD>(-1);
constexpr DWORD kExitNoDesktop = static_cast<DWORD>(-2);

}  // namespace

DWORD CVideoScan::smCheckThread(LPVOID scanner) {
    return static_cast<CVideoScan*>(scanner)->RunCheckThread();
}

DWORD CVideoScan::RunCheckThread() {
    HOSTDATA* host = HostData();
    const HANDLE waitList[2] = {m_hStopEvent, host ? host->VideoEvent : nullptr};
    if (m_pDesktopName != nullptr) {
        HDESK desktop = OpenDesktopA(m_pDesktopName, DF_ALLOWOTHERACCOUNTHOOK, FALSE, 0x1FF);
        SetThreadDesktop(desktop);
    }
    if (DesktopInit() == 0) {
        return kExitNoDesktop;
    }
    int firstPass = 1;
    WORD row = 0;
    WORD column = 0;
    const HANDLE idleList[2] = {m_hStopEvent, m_hDamageEvent};
    for (;;) {
        const DWORD woken = WaitForMultipleObjects(2, waitList, FALSE, INFINITE);
        if (woken == WAIT_OBJECT_0) {
            return kExitStopped;
        }
        if (woken != WAIT_OBJECT_0 + 1) {
            return 0;
        }
        StepEnd end;
        try {
            end = CheckThreadStep(firstPass, row, column);
        } catch (...) {
            // A failed step is dropped; the next wake tries again.
        }
        // The pauses after rows bound the load the scanner puts on the host.
        if (end.pause > 0 && WaitForSingleObject(m_hStopEvent, end.pause) == WAIT_OBJECT_0) {
            return kExitStopped;
        }
        // A screen known unchanged: wait for drawing (or the next full pass) instead of
        // passing over it again.
        const DWORD idle = end.passEnded ? m_RowSchedule.IdleTime(GetTickCount()) : 0;
        if (idle > 0 && WaitForMultipleObjects(2, idleList, FALSE, idle) == WAIT_OBJECT_0) {
            return kExitStopped;
        }
    }
}

CVideoScan::StepEnd CVideoScan::CheckThreadStep(int& firstPass, WORD& row, WORD& column) {
    StepEnd end;
    if (CheckSessSts(0) == 0) {
        return end;
    }
    if (m_bSending) {
        if (row == 0 && m_pSession->TransmitBacklog() > kLargestBacklog) {
            end.pause = kRowPause;
            return end;
        }
        if (row == 0) {
            m_PassStarted = std::chrono::steady_clock::now();
            BeginPass(firstPass, GetTickCount());
        }
        // Rows known unchanged are passed over without a read and without a pause.
        row = NextRowToScan(row);
        if (row < m_Rows) {
            const bool pause = ScanScheduledRow(row, firstPass);
            ++row;
            if (pause && !m_RowSchedule.hinted()) {
                end.pause = kRowPause;
            } else if (pause) {
                // With hints the rows of a pass are few and read back to back, so that what
                // they found leaves at once; their pauses follow the pass, as long in all.
                m_OwedPause += kRowPause;
            }
        }
        // The pass ends with its last read: what it found leaves before the pause.
        if (NextRowToScan(row) >= m_Rows) {
            EndPass(firstPass, row, column);
            end.pause += PassPause();
            end.passEnded = true;
            m_OwedPause = 0;
        }
        return end;
    }
    const WORD request = GetCBItemWord(kCBBitmapRequest);
    if (request != 0) {
        // The other side may set its options any time before its request.
        m_RemoteOptionWord = GetCBItemWord(kCBRemoteOptions);
        m_bSending = TRUE;
        m_bFullPassDue = TRUE;
        InitBitmapInfo(request);
        row = 0;
        column = 0;
    }
    return end;
}

DWORD CVideoScan::PassPause() const {
    if (m_OwedPause == 0) {
        return 0;
    }
    const auto worked = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now() - m_PassStarted)
                            .count();
    const DWORD due = static_cast<DWORD>(std::max<long long>(worked + 1, 1)) * kPauseToWork;
    return std::min(m_OwedPause, std::max(due, kRowPause));
}

void CVideoScan::BeginPass(int firstPass, DWORD now) {
    bool mustBeFull =
        firstPass != 0 || m_bFullPassDue || m_PassPaletteGeneration != m_PaletteGeneration;
    if (m_bUseDamageHints && !m_RowSchedule.watching() && m_hScreenDC != nullptr &&
        m_CellHeight != 0) {
        HANDLE wake = m_hDamageEvent;
        m_RowSchedule.Watch(
            WatchScreenDamage(m_hScreenDC, m_CellHeight, m_Rows, [wake] { SetEvent(wake); }));
    }
    m_RowSchedule.BeginPass(now, mustBeFull);
    m_bFullPassDue = FALSE;
    m_PassPaletteGeneration = m_PaletteGeneration;
}

WORD CVideoScan::NextRowToScan(WORD row) const {
    return m_RowSchedule.NextRow(row, m_Rows);
}

bool CVideoScan::ScanScheduledRow(WORD row, int firstPass) {
    // A row's mark is cleared before the row is read, so that drawing during the read leaves
    // it marked for the next pass.
    const bool marked = m_RowSchedule.TakeRow(row);
    const int sent = ScanCellRow(row, firstPass, marked);
    if (sent < 0) {
        m_RowSchedule.RowFailed(row);
    }
    return !m_RowSchedule.hinted() || marked || sent != 0;
}

void CVideoScan::EndPass(int& firstPass, WORD& row, WORD& column) {
    CheckCursorChange(firstPass);
    firstPass = 0;
    HWND desktop = GetDesktopWindow();
    if (desktop != m_hDesktopWnd) {
        if (m_hScreenDC != nullptr && IsWindow(m_hDesktopWnd)) {
            ReleaseDC(m_hDesktopWnd, m_hScreenDC);
        }
        m_hDesktopWnd = desktop;
        m_hScreenDC = GetDC(desktop);
        // Hints of the old screen say nothing of the new one.
        m_RowSchedule.Forget();
        m_bFullPassDue = TRUE;
    }
    row = 0;
    column = 0;
    FlushSeqBuffer();
    EnterCriticalSection(&m_PaletteLock);
    if (m_PendingWork & 1) {
        m_PendingWork &= static_cast<WORD>(~1);
        SendPalette();
    }
    LeaveCriticalSection(&m_PaletteLock);
    m_CompletedPasses.fetch_add(1, std::memory_order_release);
}

int CVideoScan::ScanCellRow(WORD row, int firstPass, bool drawnOn) {
    if (m_pCellBuffer == nullptr || m_pCellChecksums == nullptr || row >= m_Rows) {
        return 0;
    }
    // Most rows of most passes did not change: they are summed where the display keeps them,
    // and only a row with a changed cell is read into the cell buffers. Its checksums are then
    // taken again from the copy, so that what is stored is the checksum of the bits sent. A
    // row known to be drawn on goes straight to the copy.
    if (!firstPass && !drawnOn && SumRowInPlace(row)) {
        bool changed = false;
        for (WORD column = 0; column < m_Columns && !changed; ++column) {
            changed = CellChanged(static_cast<std::size_t>(m_Columns) * row + column,
                                  m_RowSums[column].Value(), firstPass);
        }
        if (!changed) {
            return 0;
        }
    }
    int sent = 0;
    // The whole row of cells in one read where the display allows, else cell by cell.
    const bool rowRead = ReadRowWithChecksums(row);
    for (WORD column = 0; column < m_Columns; ++column) {
        const std::size_t index = static_cast<std::size_t>(m_Columns) * row + column;
        DWORD checksum = 0;
        BYTE* bits = m_pCellBuffer;
        if (rowRead) {
            bits = RowCellBuffer(column);
            checksum = m_RowCopiers[column].Value();
        } else if (!ReadCellWithChecksum(column, row, &checksum)) {
            if (GetScreenBits(column, row, m_pCellBuffer, m_CellBufferSize) == 0) {
                return -1;  // tried again next pass
            }
            checksum = CheckSum(m_pCellBuffer, m_CellDataSize);
        }
        if (CellChanged(index, checksum, firstPass)) {
            m_pCellChecksums[index] = checksum;
            if (index < kMaxCells) {
                m_CellPaletteGenerations[index] = m_PaletteGeneration;
            }
            SendBitmap(column, row, bits, checksum);
            ++sent;
        }
    }
    return sent;
}

bool CVideoScan::CellChanged(std::size_t index, DWORD checksum, int firstPass) const {
    return firstPass || checksum != m_pCellChecksums[index] ||
           (index < kMaxCells && m_CellPaletteGenerations[index] != m_PaletteGeneration);
}

int CVideoScan::GetScreenBits(WORD column, WORD row, BYTE* buffer, DWORD size) {
    if (m_hMemDC == nullptr || m_hCellBitmap == nullptr) {
        return 0;
    }
    if (!BitBlt(m_hMemDC, 0, 0, m_CellWidth, m_CellHeight, m_hScreenDC, column * m_CellWidth,
                row * m_CellHeight, SRCCOPY)) {
        return 0;
    }
    return GetBitmapBits(m_hCellBitmap, static_cast<LONG>(size), buffer);
}

bool CVideoScan::DirectReadPossible() const {
    return m_hMemDC != nullptr && m_hCellBitmap != nullptr && m_pCellBuffer != nullptr &&
           m_Planes == 1 && m_BitsPerPixel >= 8 &&
           m_RowBytes * 8u == static_cast<unsigned>(m_CellWidth) * m_BitsPerPixel &&
           m_DeviceRowBytes >= m_RowBytes;
}

BYTE* CVideoScan::RowCellBuffer(WORD column) {
    return m_pRowCells + static_cast<std::size_t>(column) * m_CellBufferSize;
}

bool CVideoScan::ReadRowWithChecksums(WORD row) {
    if (!DirectReadPossible() || m_pRowCells == nullptr || m_RowCopiers.size() != m_Columns) {
        return false;
    }
    for (videoscan::CellChecksumCopier& copier : m_RowCopiers) {
        copier = videoscan::CellChecksumCopier{};
    }
    const std::size_t filler = m_DeviceRowBytes - m_RowBytes;
    std::size_t offset = 0;  // of the current line in each cell's buffer
    // Each screen line holds one line of every cell of the row, side by side.
    const auto copyLine = [&](const std::uint8_t* bits) {
        for (WORD column = 0; column < m_Columns; ++column) {
            BYTE* destination = RowCellBuffer(column) + offset;
            m_RowCopiers[column].CopyRow(bits + static_cast<std::size_t>(column) * m_RowBytes,
                                         m_RowBytes, destination);
            std::memset(destination + m_RowBytes, 0, filler);  // as the cell bitmap keeps it
        }
        offset += m_DeviceRowBytes;
    };
    return VisitScreenRows(m_hScreenDC, 0, row * m_CellHeight, m_Columns * m_CellWidth,
                           m_CellHeight, copyLine) != FALSE;
}

bool CVideoScan::SumRowInPlace(WORD row) {
    if (!DirectReadPossible() || m_RowSums.size() != m_Columns) {
        return false;
    }
    for (videoscan::CellChecksumSummer& summer : m_RowSums) {
        summer = videoscan::CellChecksumSummer{};
    }
    const auto sumLine = [&](const std::uint8_t* bits) {
        for (WORD column = 0; column < m_Columns; ++column) {
            m_RowSums[column].SumRow(bits + static_cast<std::size_t>(column) * m_RowBytes,
                                     m_RowBytes);
        }
    };
    return VisitScreenRows(m_hScreenDC, 0, row * m_CellHeight, m_Columns * m_CellWidth,
                           m_CellHeight, sumLine) != FALSE;
}

bool CVideoScan::ReadCellWithChecksum(WORD column, WORD row, DWORD* checksum) {
    if (!DirectReadPossible()) {
        return false;
    }
    videoscan::CellChecksumCopier copier;
    BYTE* destination = m_pCellBuffer;
    const std::size_t filler = m_DeviceRowBytes - m_RowBytes;
    const auto copyRow = [&](const std::uint8_t* bits) {
        copier.CopyRow(bits, m_RowBytes, destination);
        std::memset(destination + m_RowBytes, 0, filler);  // as the cell bitmap keeps it
        destination += m_DeviceRowBytes;
    };
    if (!VisitScreenRows(m_hScreenDC, column * m_CellWidth, row * m_CellHeight, m_CellWidth,
                         m_CellHeight, copyRow)) {
        return false;
    }
    *checksum = copier.Value();
    return true;
}

DWORD CVideoScan::CheckSum(const BYTE* bytes, DWORD count) {
    videoscan::CellLayout layout;
    layout.rowBytes = m_RowBytes;
    layout.deviceRowBytes = m_DeviceRowBytes;
    layout.rows = static_cast<std::uint32_t>(m_Planes) * m_CellHeight;
    layout.rowEndMask = videoscan::RowEndMask(m_CellWidth, m_BitsPerPixel);
    return videoscan::CellChecksum(bytes, count, layout);
}

int CVideoScan::CheckSessSts(WORD) {
    HOSTDATA* host = HostData();
    if (host == nullptr || host->VideoEvent == nullptr ||
        WaitForSingleObject(host->VideoEvent, 0) != WAIT_OBJECT_0) {
        return 0;
    }
    if (!(GetCBItemByte(kCBSessionStatus) & kSessionStatusUp) ||
        GetCBItemByte(kCBSessionReady) == 0) {
        return 0;
    }
    const BYTE state = GetCBItemByte(kCBVideoState);
    if (!(state & kVideoWanted) || !(state & kVideoAvailable) || (state & kVideoBlocked)) {
        return 0;
    }
    SetCBItemByte(kCBVideoState, static_cast<BYTE>(state | kVideoChecked));
    if (state & kVideoRunning) {
        return 1;
    }
    SetCBItemByte(kCBVideoState,
                  static_cast<BYTE>(state | kVideoChecked | kVideoRunning | kVideoStarted));

    if (m_CompressionOption == kCompressionOptionAbsent) {
        m_CompressionMode = kDefaultCompressionMode;
        (void)GetCBItemByte(kCBCompressionHint);
    } else {
        m_CompressionMode = m_CompressionOption;
    }
    if ((m_CompressionMode & videowire::kCompressLz) && m_pImplodeWork == nullptr) {
        m_CompressionMode = kCompressionModeWithoutImplode;
    }
    m_RemoteOptionWord = GetCBItemWord(kCBRemoteOptions);
    SetCBItemWord(kCBBitmapRequest, 0);
    SetCBItemWord(kCBRemoteCapabilities, 0);
    SetCBItemByte(kCBVideoVersion, videowire::kVideoVersion);
    m_SeqFill = 0;

    SendVideoStart();

    SetCBItemByte(kCBVideoState, static_cast<BYTE>(GetCBItemByte(kCBVideoState) | kVideoChecked));
    m_bRasterOpSent = FALSE;
    m_bFormatSent = FALSE;
    m_bSending = FALSE;
    if (m_pCellChecksums != nullptr) {
        std::memset(m_pCellChecksums, 0,
                    static_cast<std::size_t>(m_Columns) * m_Rows * sizeof(DWORD));
    }
    CacheClear();
    if (m_pImplodeWork != nullptr) {
        std::memset(m_pImplodeWork, 0, kImplodeWorkSize);
    }
    deflate_clr();
    return 1;
}

void CVideoScan::SendVideoStart() {
    m_StartTime = GetTickCount();
    WORD modeWord = static_cast<WORD>((m_CompressionMode & videowire::kModeCompressionBits) |
                                      videowire::kModeFixedBits);
    if (m_CompressionMode & videowire::kCompressDeflate) {
        modeWord |= videowire::kModeDeflate;
    }
    if (m_BitsPerPixel > 8) {
        modeWord |= videowire::kModeThreeThreeTwo;
    }
    BYTE body[videowire::kStartRecordSize];
    videoscan::ByteWriter writer(body);
    writer.Byte(videowire::kRecordVideoStart);
    writer.Byte(videowire::kStartMarker);
    writer.Byte(videowire::kVideoVersion);
    writer.Word(videowire::kStartConstant);
    writer.Word(modeWord);
    writer.Word(GetCBItemWord(kCBDeviceColours));
    writer.Word(GetCBItemWord(kCBScreenWidth));
    writer.Word(GetCBItemWord(kCBScreenHeight));
    writer.DoubleWord(m_StartTime);
    SendFrame(body, videowire::kStartRecordSize);
}

// A frame of its own, header and body in two Transmit calls kept together.
void CVideoScan::SendFrame(const BYTE* body, WORD length) {
    BYTE header[kFrameHeaderSize];
    videoscan::WriteFrameHeader(header, length, length, false);
    m_pSession->LockTxFill(0);
    m_pSession->Transmit(header, kFrameHeaderSize, 0);
    m_pSession->Transmit(body, length, 0);
    m_pSession->UnLockTxFill(0);
}

void CVideoScan::SendEndRecord() {
    // This thread did not compress the frames before; a fresh history refers only to the
    // frames it compresses itself.
    deflate_clr();
    FlushSeqBuffer();
    m_SeqFill = 0;
    const BYTE body[videowire::kEndRecordSize] = {videowire::kRecordVideoEnd};
    SendFrame(body, videowire::kEndRecordSize);
}
