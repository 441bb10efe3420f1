// Drawing records for cells, and the preparation when the other side asks for cells.
#include "platform/gdi/gdi.h"
#include "videoscan/byte_writer.h"
#include "videoscan/cell_checksum.h"
#include "videoscan/pixel_reducer.h"
#include "videoscan/video_scan.h"

int CVideoScan::SendBitmap(WORD column, WORD row, BYTE* bits, DWORD checksum) {
    videoscan::CellBits cell;
    cell.data = bits;
    cell.dataLength = m_CellDataSize;
    cell.rowBytes = m_RowBytes;
    cell.stride = m_DeviceRowBytes;
    cell.rows = static_cast<WORD>(m_Planes * m_CellHeight);
    int depth = m_BitsPerPixel;
    if (m_BitsPerPixel >= 8) {
        const videoscan::ReductionTables tables{m_MonoTable, m_ReducedTable};
        depth = videoscan::ReducePixels(cell, m_BitsPerPixel, m_ReducedColourMode, m_ColourFormat,
                                        tables);
        if (depth < m_BitsPerPixel) {
            // Above 8 bits per pixel the cell is now BBBGGRRR bytes; a reduced colour mode
            // packs them further.
            if (m_BitsPerPixel > 8) {
                depth =
                    videoscan::ReducePixels(cell, 8, m_ReducedColourMode, m_ColourFormat, tables);
            }
            checksum = videoscan::ChecksumBytes(cell.data, cell.dataLength);
        }
    }

    DWORD cacheOffset = 0;
    const int repeated = CheckForRepeatedBitmap(checksum, &cacheOffset, cell.rowBytes);
    FlushIfWillNotFit(
        static_cast<WORD>(videowire::kCellRecordOverhead + (repeated ? 0 : cell.dataLength)));

    BYTE flags = videowire::kDrawSource;
    if (!m_bRasterOpSent) {
        flags |= videowire::kDrawRasterOp;
        m_bRasterOpSent = TRUE;
    }
    if (m_Planes == 1 && depth == 1) {
        flags |= videowire::kDrawColours;
    }
    if (!m_bFormatSent) {
        flags |= videowire::kDrawFormat;
        m_bFormatSent = TRUE;
    }
    if (m_CacheCapacity != 0) {
        flags |= videowire::kDrawCacheOffset;
    }

    BYTE head[videowire::kCellRecordOverhead];
    videoscan::ByteWriter writer(head);
    writer.Byte(videowire::kRecordDrawing);
    writer.Byte(flags);
    writer.Word(static_cast<WORD>(column * m_CellWidth));
    writer.Word(static_cast<WORD>(row * m_CellHeight));
    writer.Word(m_CellWidth);
    writer.Word(m_CellHeight);
    if (flags & videowire::kDrawRasterOp) {
        writer.DoubleWord(videowire::kRasterSrcCopy);
    }
    if (flags & videowire::kDrawColours) {
        writer.Byte(videowire::kColourPatchOffset);
        writer.Byte(videowire::kPatchLength);
        writer.Colour(GetBkColor(m_hScreenDC));
        writer.Colour(GetTextColor(m_hScreenDC));
    }
    writer.DoubleWord(0);
    if (flags & videowire::kDrawFormat) {
        writer.Byte(m_Planes);
        writer.Byte(static_cast<BYTE>(depth));
    }
    writer.Word(static_cast<WORD>((repeated ? 0 : m_CellHeight) * m_Planes));
    if (depth == 1) {
        writer.Byte(static_cast<BYTE>(cell.rowBytes));
    } else {
        writer.Word(cell.rowBytes);
    }
    writer.Byte(0);
    if (flags & videowire::kDrawCacheOffset) {
        writer.Triple(cacheOffset);
    }
    SendSeqBuffered(head, static_cast<WORD>(writer.used()));

    if (!repeated) {
        if (cell.stride == cell.rowBytes) {
            SendSeqBuffered(cell.data, static_cast<WORD>(cell.dataLength));
        } else {
            for (WORD line = 0; line < cell.rows; ++line) {
                SendSeqBuffered(cell.data + static_cast<std::size_t>(line) * cell.stride,
                                cell.rowBytes);
            }
        }
    }
    return 1;
}

int CVideoScan::InitBitmapInfo(WORD) {
    SizeBitmapCache();
    m_CellDataSize = static_cast<WORD>(m_Planes * m_RowBytes * m_CellHeight);
    SendPalette();
    InitRemoteBackgroundColor();
    return 1;
}
