// Construction, destruction and desktop initialisation of the scanner.
#include "videoscan/video_scan.h"

#include <dlfcn.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/gdi/display_device.h"
#include "platform/gdi/gdi.h"
#include "platform/kernel/profile.h"
#include "platform/kernel/synch.h"
#include "platform/kernel/thread.h"
#include "session/cb_block.h"
#include "session/fv_session.h"
#include "videoscan/cell_grid.h"
#include "videoscan/pixel_reducer.h"

namespace {

constexpr const char* kIniFile = "FARV.INI";
constexpr DWORD kThreadStopGrace = 5000;

HINSTANCE g_instance = nullptr;

// Records the library's instance handle (the address it was loaded at) when it is loaded.
__attribute__((constructor)) void RecordInstance() {
    Dl_info info{};
    if (g_instance == nullptr &&
        dladdr(reinterpret_cast<const void*>(&RecordInstance), &info) != 0) {
        g_instance = static_cast<HINSTANCE>(info.dli_fbase);
    }
}

// The colour format of the display behind a desktop window: 555 for 5-5-5 pixels at 16 bits
// per pixel, 565 for 5-6-5, otherwise the bits per pixel.
WORD QueryColourFormat(HWND desktop) {
    std::shared_ptr<farvane::gdi::DisplayDevice> device = farvane::gdi::DisplayForWindow(desktop);
    if (!device) {
        return 0;
    }
    const farvane::gdi::PixelFormat format = device->Geometry().format;
    if (format.layout == farvane::gdi::PixelLayout::Rgb555) {
        return videoscan::kColourFormat555;
    }
    if (format.layout == farvane::gdi::PixelLayout::Rgb565) {
        return 565;
    }
    return static_cast<WORD>(format.bitsPerPixel);
}

}  // namespace

HINSTANCE GetFvdsp32Instance() {
    return g_instance;
}

void* CVideoScan::operator new(std::size_t size) noexcept {
    return std::malloc(size);
}

void CVideoScan::operator delete(void* pointer) noexcept {
    std::free(pointer);
}

CVideoScan::CVideoScan(CFVSession* session, const char* desktopName)
    : m_pSession(session), m_pDesktopName(nullptr) {
    if (desktopName != nullptr && desktopName[0] != '\0') {
        m_pDesktopName = strdup(desktopName);
    }
    InitializeCriticalSection(&m_InitLock);
    m_bInitialised = FALSE;
    m_bSending = FALSE;
    m_pCellBuffer = nullptr;
    m_pCellChecksums = nullptr;
    m_CellWidth = m_CellHeight = m_Columns = m_Rows = 0;
    m_RowBytes = m_DeviceRowBytes = m_CellDataSize = m_CellBufferSize = 0;
    m_hCellBitmap = nullptr;
    m_hMemDC = nullptr;
    m_StartTime = 0;
    CacheClear();
    m_CacheBudget = 0;

    m_CompressionOption = 0;
    m_ReducedColourMode = GetCBItemByte(kCBReducedColourMode);
    m_ColourFormat = 0;
    m_CompressionMode = 0;
    m_RemoteOptionWord = 0;
    m_PendingWork = 0;
    m_PaletteGeneration = 0;
    std::memset(m_CellPaletteGenerations, 0, sizeof m_CellPaletteGenerations);
    m_pImplodeWork = nullptr;
    m_bSeqBusy = FALSE;
    m_SeqFill = 0;
    m_ReadPosition = 0;
    m_PackedLength = 0;
    m_bRasterOpSent = FALSE;
    m_bFormatSent = FALSE;
    m_Planes = 1;
    m_BitsPerPixel = 8;
    m_hScreenDC = nullptr;
    m_hDesktopWnd = nullptr;
    std::memset(m_MonoTable, 0, sizeof m_MonoTable);
    std::memset(m_ReducedTable, 0, sizeof m_ReducedTable);

    m_pCursorShape = static_cast<BYTE*>(std::malloc(kCursorShapeSize));
    m_hLastCursor = nullptr;
    HookMouseInstall();

    InitializeCriticalSection(&m_PaletteLock);
    m_hStopEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    m_hDamageEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    m_CheckThreadId = 0;
    m_hCheckThread = CreateThread(nullptr, 0, &CVideoScan::smCheckThread, this, CREATE_SUSPENDED,
                                  &m_CheckThreadId);
    if (m_hCheckThread != nullptr) {
        ResumeThread(m_hCheckThread);
        SetThreadPriority(m_hCheckThread, THREAD_PRIORITY_NORMAL);
    }
}

CVideoScan::~CVideoScan() {
    // The check thread stops first: the end record must be the last thing this scanner sends,
    // and the final flush must not meet the thread inside the sequence buffer.
    StopCheckThread();
    m_RowSchedule.Forget();
    if (m_hDamageEvent != nullptr) {
        CloseHandle(m_hDamageEvent);
        m_hDamageEvent = nullptr;
    }
    if (m_pSession != nullptr && m_pSession->GetIsConnected() == 1) {
        SendEndRecord();
    }
    SetCBItemByte(kCBVideoState, static_cast<BYTE>(GetCBItemByte(kCBVideoState) & ~kVideoRunning));

    if (m_hScreenDC != nullptr && IsWindow(m_hDesktopWnd)) {
        ReleaseDC(m_hDesktopWnd, m_hScreenDC);
    }
    m_hScreenDC = nullptr;
    if (m_hMemDC != nullptr) {
        DeleteDC(m_hMemDC);
        m_hMemDC = nullptr;
    }
    if (m_hCellBitmap != nullptr) {
        DeleteObject(m_hCellBitmap);
        m_hCellBitmap = nullptr;
    }
    std::free(m_pImplodeWork);
    std::free(m_pCellBuffer);
    std::free(m_pCellChecksums);
    std::free(m_pRowCells);
    m_pRowCells = nullptr;
    std::free(m_pCursorShape);
    m_pImplodeWork = m_pCellBuffer = m_pCursorShape = nullptr;
    m_pCellChecksums = nullptr;
    HookMouseRemove();
    DeleteCriticalSection(&m_InitLock);
    DeleteCriticalSection(&m_PaletteLock);
    std::free(m_pDesktopName);
    m_pDesktopName = nullptr;
}

void CVideoScan::StopCheckThread() {
    if (m_hCheckThread != nullptr) {
        SetEvent(m_hStopEvent);
        if (WaitForSingleObject(m_hCheckThread, kThreadStopGrace) != WAIT_OBJECT_0) {
            TerminateThread(m_hCheckThread, static_cast<DWORD>(-1));
        }
        CloseHandle(m_hCheckThread);
        m_hCheckThread = nullptr;
    }
    if (m_hStopEvent != nullptr) {
        CloseHandle(m_hStopEvent);
        m_hStopEvent = nullptr;
    }
    m_CheckThreadId = 0;
}

int CVideoScan::DesktopInit() {
    EnterCriticalSection(&m_InitLock);
    if (m_bInitialised) {
        LeaveCriticalSection(&m_InitLock);
        return 1;
    }
    m_bInitialised = TRUE;  // stays set even when a step below fails
    int result = 0;

    m_CompressionOption =
        static_cast<WORD>(GetPrivateProfileIntA("Farvane", "COMPRESSION", -1, kIniFile));
    m_bUseDamageHints = GetPrivateProfileIntA("Video", "DamageHints", 1, kIniFile) != 0;
    m_pImplodeWork = static_cast<BYTE*>(std::calloc(1, kImplodeWorkSize));
    if (m_pImplodeWork != nullptr) {
        SetCBItemByte(kCBVideoState, static_cast<BYTE>(GetCBItemByte(kCBVideoState) |
                                                       kVideoAvailable | kVideoStarted));
        const int width = GetSystemMetrics(SM_CXSCREEN);
        const int height = GetSystemMetrics(SM_CYSCREEN);
        SetCBItemWord(kCBScreenWidth, static_cast<WORD>(width));
        SetCBItemWord(kCBScreenHeight, static_cast<WORD>(height));
        m_hDesktopWnd = GetDesktopWindow();
        if (IsWindow(m_hDesktopWnd)) {
            m_hScreenDC = GetDC(m_hDesktopWnd);
        }
        if (m_hScreenDC != nullptr) {
            int colours = (GetDeviceCaps(m_hScreenDC, RASTERCAPS) & RC_PALETTE)
                              ? GetDeviceCaps(m_hScreenDC, SIZEPALETTE)
                              : GetDeviceCaps(m_hScreenDC, NUMCOLORS);
            if (colours > 256) {
                colours = videowire::kManyDeviceColours;
            }
            SetCBItemWord(kCBDeviceColours, static_cast<WORD>(colours));
            m_Planes = static_cast<BYTE>(GetDeviceCaps(m_hScreenDC, PLANES));
            m_BitsPerPixel = static_cast<BYTE>(GetDeviceCaps(m_hScreenDC, BITSPIXEL));
            m_ColourFormat = QueryColourFormat(m_hDesktopWnd);

            CheckSessSts(0);
            SetCBItemByte(kCBVideoState,
                          static_cast<BYTE>(GetCBItemByte(kCBVideoState) & ~kVideoChecked));

            FixCellGrid(width, height);
            result = (m_pCellBuffer != nullptr && m_pCellChecksums != nullptr) ? 1 : 0;
        }
    }
    LeaveCriticalSection(&m_InitLock);
    return result;
}

void CVideoScan::FixCellGrid(int screenWidth, int screenHeight) {
    const auto configuredWidth =
        static_cast<WORD>(GetPrivateProfileIntA("Video", "CellWidth", -1, kIniFile));
    const auto configuredHeight =
        static_cast<WORD>(GetPrivateProfileIntA("Video", "CellHeight", -1, kIniFile));
    const videoscan::CellGrid grid = videoscan::FitCellGrid(
        screenWidth, screenHeight, configuredWidth, configuredHeight, m_Planes, m_BitsPerPixel);
    m_CellWidth = grid.cellWidth;
    m_CellHeight = grid.cellHeight;
    m_Columns = grid.columns;
    m_Rows = grid.rows;
    if (m_CellWidth == 0 || m_CellHeight == 0) {
        return;
    }

    if (m_hMemDC == nullptr) {
        m_hMemDC = CreateCompatibleDC(m_hScreenDC);
        if (m_hMemDC != nullptr && m_hCellBitmap != nullptr) {
            SelectObject(m_hMemDC, m_hCellBitmap);
        }
    }
    if (m_hCellBitmap == nullptr) {
        m_hCellBitmap = CreateBitmap(m_CellWidth, m_CellHeight, m_Planes, m_BitsPerPixel, nullptr);
        if (m_hCellBitmap != nullptr) {
            SelectObject(m_hMemDC, m_hCellBitmap);
            BITMAP description{};
            GetObjectA(m_hCellBitmap, sizeof description, &description);
            m_DeviceRowBytes = static_cast<WORD>(description.bmWidthBytes);
            // Whole bytes of pixel bits: at 4 bits per pixel an odd width ends in a half byte
            // that still belongs to the cell.
            m_RowBytes = static_cast<WORD>((m_BitsPerPixel * m_CellWidth + 7) / 8);
        }
    }
    m_CellDataSize = static_cast<WORD>(m_Planes * m_RowBytes * m_CellHeight);
    m_CellBufferSize = static_cast<WORD>(m_Planes * m_DeviceRowBytes * m_CellHeight);
    m_pCellBuffer = static_cast<BYTE*>(std::malloc(m_CellBufferSize > 0 ? m_CellBufferSize : 1));
    m_pCellChecksums = static_cast<DWORD*>(
        std::calloc(static_cast<std::size_t>(m_Columns) * m_Rows + 1, sizeof(DWORD)));
    m_pRowCells =
        static_cast<BYTE*>(std::malloc(static_cast<std::size_t>(m_Columns) * m_CellBufferSize + 1));
    m_RowCopiers.resize(m_Columns);
    m_RowSums.resize(m_Columns);
}
