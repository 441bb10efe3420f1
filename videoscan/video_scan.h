// CVideoScan, the video scanner of one host session (library fvdsp32).
//
// A check thread divides the host screen into a grid of cells and, while the host's video
// event is set and the CB block allows video, finds the cells that changed, reduces their
// colour depth, recognises cells the other side already holds in its bitmap cache, and sends
// drawing records, palette frames and cursor records to the session as video frames.
//
// The session library constructs one scanner per host session and deletes it when the session
// ends. The scanner finds the host's global record through the session's GlobalProcData and
// the shared CB block through that record.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>

#include <vector>
#include "platform/gdi/gdi_types.h"
#include "platform/kernel/critical_section.h"
#include "platform/kernel/win_types.h"
#include "session/host_data.h"

#include "session/video_wire.h"
#include "videoscan/cell_checksum.h"
#include "videoscan/cell_grid.h"
#include "videoscan/row_schedule.h"

#define FVDSP32_API __attribute__((visibility("default")))

class CFVSession;

// "COMPRESSION" absent from "FARV.INI", and the compression modes chosen then and when an
// LZ mode finds no implode work area.
inline constexpr WORD kCompressionOptionAbsent = 0xFFFF;
inline constexpr WORD kDefaultCompressionMode =
    videowire::kCompressLz | videowire::kCompressDeflate;
inline constexpr WORD kCompressionModeWithoutImplode = 5;

// Sizes of the scanner's fixed buffers and tables.
inline constexpr std::size_t kMaxCells = videoscan::kMaxCells;
inline constexpr std::size_t kSeqBufferSize = videowire::kMaxRecordSequence;
inline constexpr std::size_t kFrameHeaderSize = videowire::kVideoHeaderSize;
inline constexpr std::size_t kImplodeWorkSize = 57664;
inline constexpr std::size_t kCursorShapeSize = 4236;

class FVDSP32_API CVideoScan {
public:
    CVideoScan(CFVSession* session, const char* desktopName);
    virtual ~CVideoScan();
    CVideoScan(const CVideoScan&) = delete;
    CVideoScan& operator=(const CVideoScan&) = delete;

    // Plain heap memory; null when there is none (the new-expression then yields null).
    static void* operator new(std::size_t size) noexcept;
    static void operator delete(void* pointer) noexcept;

    // One-time desktop initialisation: 1 for success, 0 for failure. Uses the desktop of the
    // calling thread (the check thread attaches to the scanner's desktop before calling it).
    int DesktopInit();
    HOSTDATA* HostData();

    // Sends the collected records as one video frame. Always 1.
    int FlushSeqBuffer();
    // Appends the drawing record of one cell. Always 1.
    int SendBitmap(WORD column, WORD row, BYTE* bits, DWORD checksum);
    // Notes that the host palette changed; any thread may call it.
    void PaletteChanged();
    // Passes over the whole screen completed since construction; any thread may ask.
    DWORD CompletedPasses() const { return m_CompletedPasses.load(std::memory_order_acquire); }

protected:
    // CB block items (see cb_items.cpp for the table). Unknown items read as 0; writes to them
    // and to read-only items do nothing.
    BYTE GetCBItemByte(WORD item);
    WORD GetCBItemWord(WORD item);
    DWORD GetCBItemDoubleWord(WORD item);
    void SetCBItemByte(WORD item, BYTE value);
    void SetCBItemWord(WORD item, WORD value);
    void SetCBItemDoubleWord(WORD item, DWORD value);

    static DWORD smCheckThread(LPVOID scanner);

    // Screen change detection.
    int CheckSessSts(WORD unused);
    int GetScreenBits(WORD column, WORD row, BYTE* buffer, DWORD size);
    // Reads a cell straight from the screen into the cell buffer, laid out as GetScreenBits
    // leaves it, and checksums it on the way, so that each byte is read from the screen once.
    // Only for one plane of whole-byte pixels, where the checksum masks nothing; false when the
    // display cannot do this, and the caller reads the cell with GetScreenBits instead.
    bool ReadCellWithChecksum(WORD column, WORD row, DWORD* checksum);
    // The same for a whole row of cells in one read of the screen: each cell lands in its own
    // buffer (RowCellBuffer) with its checksum in m_RowCopiers. False when the display cannot.
    bool ReadRowWithChecksums(WORD row);
    // Takes the checksums of a row of cells where the display keeps them, without copying
    // them (m_RowSums' values); false when the display cannot be read that way.
    bool SumRowInPlace(WORD row);
    // Whether the cell at `index` must be sent with this checksum.
    bool CellChanged(std::size_t index, DWORD checksum, int firstPass) const;
    BYTE* RowCellBuffer(WORD column);
    DWORD CheckSum(const BYTE* bytes, DWORD count);
    void CacheClear();
    int CheckForRepeatedBitmap(DWORD checksum, DWORD* offset, WORD rowBytes);
    // Scans one row of cells; cells are sent when firstPass is set or they changed. drawnOn
    // tells that damage hints marked the row. Returns the cells sent, or -1 when a screen read
    // failed and the rest of the row was skipped.
    int ScanCellRow(WORD row, int firstPass, bool drawnOn = false);
    // Starts a pass over the screen at tick count now: takes the display's damage hints when
    // it has them and chooses whether the pass reads every row or only those drawn on.
    void BeginPass(int firstPass, DWORD now);
    // The first row from `row` on that the pass reads; m_Rows when there is none.
    WORD NextRowToScan(WORD row) const;
    // Scans a row the pass reads; tells whether the pause after a row should follow (rows that
    // damage hints and their checksums both found unchanged need none).
    bool ScanScheduledRow(WORD row, int firstPass);

    // Sequence buffer and encoding.
    int SendSeqBuffered(const void* bytes, WORD length);
    void FlushIfWillNotFit(WORD length);
    WORD RptCompress(const BYTE* source, WORD length, BYTE* destination, WORD capacity);
    int InitBitmapInfo(WORD request);
    // Sizes the remote bitmap cache from the capability word (CB item 57).
    void SizeBitmapCache();

    // Palette, background and cursor.
    int SendPalette();
    int InitRemoteBackgroundColor();
    void SendCursor(const BYTE* data, WORD length);
    void SendCursorShape(HCURSOR cursor);
    void CheckCursorChange(int firstPass);

    CFVSession* m_pSession;
    BOOL m_bInitialised;
    CRITICAL_SECTION m_InitLock;
    BYTE* m_pCellBuffer;
    DWORD* m_pCellChecksums;
    WORD m_CellWidth;
    WORD m_RowBytes;
    WORD m_Columns;
    WORD m_DeviceRowBytes;
    WORD m_CellHeight;
    WORD m_Rows;
    WORD m_CellDataSize;
    WORD m_CellBufferSize;
    HBITMAP m_hCellBitmap;
    HWND m_hDesktopWnd;
    HDC m_hScreenDC;
    HDC m_hMemDC;
    BOOL m_bSending;
    DWORD m_StartTime;

    // Remote bitmap cache.
    BOOL m_bCacheWrapped;
    DWORD m_CacheBudget;
    WORD m_CacheNextSlot;
    WORD m_CacheCapacity;
    WORD m_CacheBase;
    DWORD m_CacheKeys[kMaxCells];
    DWORD m_CacheStamps[kMaxCells];

    WORD m_CellPaletteGenerations[kMaxCells];
    WORD m_PaletteGeneration;
    WORD m_CompressionOption;
    WORD m_ReducedColourMode;
    WORD m_ColourFormat;
    WORD m_CompressionMode;
    WORD m_RemoteOptionWord;
    BYTE* m_pImplodeWork;

    // Sequence buffer.
    BOOL m_bSeqBusy;
    WORD m_SeqFill;
    BYTE m_SeqBuffer[kFrameHeaderSize + kSeqBufferSize];
    BYTE m_PackedBuffer[kFrameHeaderSize + kSeqBufferSize];
    WORD m_ReadPosition;
    WORD m_PackedLength;
    BOOL m_bRasterOpSent;
    BOOL m_bFormatSent;

    BYTE m_Planes;
    BYTE m_BitsPerPixel;
    BYTE* m_pCursorShape;
    HCURSOR m_hLastCursor;
    WORD m_PendingWork;
    HANDLE m_hCheckThread;
    DWORD m_CheckThreadId;
    HANDLE m_hStopEvent;
    char* m_pDesktopName;
    CRITICAL_SECTION m_PaletteLock;

    std::atomic<DWORD> m_CompletedPasses{0};

    // Damage hints: which rows a pass reads, the event their reports set to end the check
    // thread's wait between passes, and what makes the next pass a full one.
    videoscan::RowSchedule m_RowSchedule;
    HANDLE m_hDamageEvent = nullptr;
    WORD m_PassPaletteGeneration = 0;
    BOOL m_bFullPassDue = TRUE;
    // "DamageHints" of section "Video" in "FARV.INI": on unless it is 0.
    BOOL m_bUseDamageHints = TRUE;
    DWORD m_OwedPause = 0;  // pauses of the rows this pass read, taken when it ends
    std::chrono::steady_clock::time_point m_PassStarted;

    // The cells of the row being scanned when a whole row is read at once: columns buffers of
    // cell buffer size, and the checksum of each.
    BYTE* m_pRowCells = nullptr;
    std::vector<videoscan::CellChecksumCopier> m_RowCopiers;
    std::vector<videoscan::CellChecksumSummer> m_RowSums;

    // Reduction tables built by SendPalette.
    BYTE m_MonoTable[256];
    BYTE m_ReducedTable[256];

private:
    friend struct CVideoScanCallbacks;

    bool HasCBBlock();
    BYTE* CBItemAddress(WORD item, unsigned width, bool forWriting);
    void FixCellGrid(int screenWidth, int screenHeight);
    void SendVideoStart();
    void SendFrame(const BYTE* body, WORD length);
    void SendEndRecord();
    void EndPass(int& firstPass, WORD& row, WORD& column);
    struct StepEnd {
        DWORD pause = 0;         // ms to pause before the next step
        bool passEnded = false;  // the step ended a pass: the thread may wait for drawing
    };
    StepEnd CheckThreadStep(int& firstPass, WORD& row, WORD& column);
    // The pause after a pass that read rows with damage hints (see check_thread.cpp).
    DWORD PassPause() const;
    // Whether cells can be read straight from the screen (one plane of whole-byte pixels).
    bool DirectReadPossible() const;
    DWORD RunCheckThread();
    void StopCheckThread();
    bool ReadDeviceColours(PALETTEENTRY* entries, unsigned count);
    unsigned PaletteEntryCount();
    void RebuildReductionTables(const PALETTEENTRY* entries, unsigned count);
    WORD BuildCursorShape(HCURSOR cursor);
    WORD CompressSequence();
};

// The library's instance handle, recorded when the library was loaded.
FVDSP32_API HINSTANCE GetFvdsp32Instance();
