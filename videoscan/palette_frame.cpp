// Palette frames, the reduction tables built from them, and the background record.
#include <algorithm>
#include <array>
#include <memory>

#include "platform/gdi/display_device.h"
#include "platform/gdi/gdi.h"
#include "platform/kernel/synch.h"
#include "session/cb_block.h"
#include "session/fv_session.h"
#include "videoscan/byte_writer.h"
#include "videoscan/palettes.h"
#include "videoscan/video_scan.h"

namespace {}  // namespace

void CVideoScan::PaletteChanged() {
    EnterCriticalSection(&m_PaletteLock);
    m_PendingWork |= 1;
    LeaveCriticalSection(&m_PaletteLock);
    // A check thread waiting for drawing sends the palette at the end of its next pass.
    SetEvent(m_hDamageEvent);
}

// The colours pixel values stand for on a device without a settable palette at 8 bits per
// pixel or less: the device's fixed colour table.
bool CVideoScan::ReadDeviceColours(PALETTEENTRY* entries, unsigned count) {
    std::shared_ptr<farvane::gdi::DisplayDevice> device =
        farvane::gdi::DisplayForWindow(m_hDesktopWnd);
    if (!device) {
        return false;
    }
    const farvane::gdi::ColourTable colours = device->Colours();
    if (colours.size() < count) {
        return false;
    }
    std::copy_n(colours.begin(), count, entries);
    return true;
}

unsigned CVideoScan::PaletteEntryCount() {
    if (m_BitsPerPixel > 8) {
        return 256;
    }
    if (GetDeviceCaps(m_hScreenDC, RASTERCAPS) & RC_PALETTE) {
        return static_cast<unsigned>(std::min(GetDeviceCaps(m_hScreenDC, SIZEPALETTE), 256));
    }
    std::shared_ptr<farvane::gdi::DisplayDevice> device =
        farvane::gdi::DisplayForWindow(m_hDesktopWnd);
    return device ? static_cast<unsigned>(std::min<std::size_t>(device->Colours().size(), 256)) : 0;
}

int CVideoScan::SendPalette() {
    FlushSeqBuffer();
    const unsigned count = PaletteEntryCount();
    if (count == 0) {
        return 1;
    }
    std::array<PALETTEENTRY, 256> entries{};
    if (m_BitsPerPixel > 8) {
        entries =
            m_ReducedColourMode != 0 ? videoscan::GridPalette() : videoscan::SystemOrderPalette();
    } else if (GetDeviceCaps(m_hScreenDC, RASTERCAPS) & RC_PALETTE) {
        if (GetSystemPaletteEntries(m_hScreenDC, 0, count, entries.data()) != count) {
            return 1;
        }
    } else if (!ReadDeviceColours(entries.data(), count)) {
        return 1;
    }

    const bool fourBytes =
        (GetCBItemWord(kCBRemoteCapabilities) & videowire::kCapFourBytePalette) != 0;
    const auto length = static_cast<WORD>(
        count * (fourBytes ? videowire::kLongPaletteEntrySize : videowire::kShortPaletteEntrySize));
    BYTE* frame = m_SeqBuffer;  // empty after the flush above
    videoscan::ByteWriter writer(frame);
    writer.Byte(videowire::kFrameEscape);
    writer.Byte(videowire::kPaletteFrameKind);
    writer.Byte(0);
    writer.Word(length);
    for (unsigned i = 0; i < count; ++i) {
        const PALETTEENTRY& entry = entries[i];
        if (fourBytes) {
            writer.Byte(entry.peRed);
            writer.Byte(entry.peGreen);
            writer.Byte(entry.peBlue);
            writer.Byte(entry.peFlags);
        } else {
            writer.Byte(videowire::RotateForShortEntry(entry.peRed));
            writer.Byte(videowire::RotateForShortEntry(entry.peGreen));
            writer.Byte(videowire::RotateForShortEntry(entry.peBlue));
        }
    }
    m_pSession->Transmit(frame, static_cast<int>(videowire::kPaletteHeaderSize + length), 0);

    // Above 8 bits per pixel the tables are indexed by BBBGGRRR bytes, so they classify the
    // colours those bytes stand for, whichever palette the other side got.
    RebuildReductionTables(m_BitsPerPixel > 8 ? videoscan::GridPalette().data() : entries.data(),
                           count);
    m_PaletteGeneration = static_cast<WORD>(m_PaletteGeneration + 1);
    return 1;
}

void CVideoScan::RebuildReductionTables(const PALETTEENTRY* entries, unsigned count) {
    for (unsigned i = 0; i < count; ++i) {
        if (m_ReducedColourMode != 0) {
            m_ReducedTable[i] = videoscan::ClassifyEntry(entries[i], m_ReducedColourMode);
        }
        m_MonoTable[i] = videoscan::ClassifyEntry(entries[i], 1);
    }
}

int CVideoScan::InitRemoteBackgroundColor() {
    if (!(m_RemoteOptionWord & videowire::kOptionPaintBackground)) {
        return 1;
    }
    FlushIfWillNotFit(static_cast<WORD>(videowire::kBackgroundRecordReserve));
    BYTE record[24];
    videoscan::ByteWriter writer(record);
    writer.Byte(videowire::kRecordDrawing);
    writer.Byte(videowire::kBackgroundFlags);
    writer.Word(0);
    writer.Word(0);
    writer.Word(static_cast<WORD>(GetSystemMetrics(SM_CXSCREEN)));
    writer.Word(static_cast<WORD>(GetSystemMetrics(SM_CYSCREEN)));
    writer.DoubleWord(videowire::kRasterPatCopy);
    writer.Byte(videowire::kBrushPatchOffset);
    writer.Byte(videowire::kPatchLength);
    writer.Word(videowire::kBrushSolid);
    writer.Colour(GetSysColor(COLOR_BACKGROUND));
    writer.Word(0);  // hatch
    SendSeqBuffered(record, static_cast<WORD>(writer.used()));
    m_bRasterOpSent = FALSE;
    FlushSeqBuffer();
    return 1;
}
