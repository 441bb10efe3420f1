// The sequence buffer: records collect here and leave as one video frame, raw, run-length
// coded, imploded or deflated, whichever the configuration allows and comes out smaller.
#include <algorithm>
#include <cstring>

#include "session/cb_block.h"
#include "session/fv_session.h"
#include "suite/fvcpress/fvcpress.h"
#include "suite/implode/implode.h"
#include "videoscan/byte_writer.h"
#include "videoscan/run_length.h"
#include "videoscan/video_scan.h"

// The compressors' callbacks: they read the record sequence and write into the packed buffer.
struct CVideoScanCallbacks {
    static std::size_t Read(CVideoScan& scan, char* destination, std::size_t size) {
        const std::size_t left = scan.m_SeqFill - scan.m_ReadPosition;
        const std::size_t count = std::min(size, left);
        std::memcpy(destination, scan.m_SeqBuffer + kFrameHeaderSize + scan.m_ReadPosition, count);
        scan.m_ReadPosition = static_cast<WORD>(scan.m_ReadPosition + count);
        return count;
    }

    // Output that would pass the buffer makes the packed length larger than the input, so that
    // the flush sends the records raw.
    static void Write(CVideoScan& scan, const char* bytes, std::size_t size) {
        if (scan.m_PackedLength + size > kSeqBufferSize) {
            scan.m_PackedLength = static_cast<WORD>(scan.m_SeqFill + 1);
            return;
        }
        std::memcpy(scan.m_PackedBuffer + kFrameHeaderSize + scan.m_PackedLength, bytes, size);
        scan.m_PackedLength = static_cast<WORD>(scan.m_PackedLength + size);
    }

    static unsigned short DeflateRead(char* destination, unsigned short size, void* context) {
        return static_cast<unsigned short>(
            Read(*static_cast<CVideoScan*>(context), destination, size));
    }
    static void DeflateWrite(char* bytes, unsigned short size, void* context) {
        Write(*static_cast<CVideoScan*>(context), bytes, size);
    }
    static unsigned int ImplodeRead(char* destination, unsigned int* size, void* context) {
        const std::size_t wanted = std::min<unsigned int>(*size, 65535u);
        return static_cast<unsigned int>(
            Read(*static_cast<CVideoScan*>(context), destination, wanted));
    }
    static void ImplodeWrite(char* bytes, unsigned int* size, void* context) {
        Write(*static_cast<CVideoScan*>(context), bytes, *size);
    }
};

int CVideoScan::SendSeqBuffered(const void* bytes, WORD length) {
    if (m_bSeqBusy) {
        return 0;
    }
    m_bSeqBusy = TRUE;
    if (length == 0) {
        FlushSeqBuffer();
        m_bSeqBusy = FALSE;
        return 1;
    }
    if (m_SeqFill + length > kSeqBufferSize) {
        FlushSeqBuffer();
        if (m_SeqFill + length > kSeqBufferSize) {
            m_bSeqBusy = FALSE;
            return 0;
        }
    }
    std::memcpy(m_SeqBuffer + kFrameHeaderSize + m_SeqFill, bytes, length);
    m_SeqFill = static_cast<WORD>(m_SeqFill + length);
    m_bSeqBusy = FALSE;
    return 1;
}

void CVideoScan::FlushIfWillNotFit(WORD length) {
    if (m_SeqFill + length > kSeqBufferSize) {
        FlushSeqBuffer();
    }
}

WORD CVideoScan::RptCompress(const BYTE* source, WORD length, BYTE* destination, WORD capacity) {
    return static_cast<WORD>(videoscan::RunLengthEncode(source, length, destination, capacity));
}

// Compresses the record sequence into the packed buffer as the compression mode and the other
// side's capabilities allow. Returns the packed length; not smaller than the fill count when
// the records are to go raw. *lz tells whether an LZ coder made it.
WORD CVideoScan::CompressSequence() {
    const WORD capabilities = GetCBItemWord(kCBRemoteCapabilities);
    if (capabilities == 0 ||
        !(m_CompressionMode & (videowire::kCompressRunLength | videowire::kCompressLz))) {
        return m_SeqFill;
    }
    BYTE* records = m_SeqBuffer + kFrameHeaderSize;
    BYTE* packed = m_PackedBuffer + kFrameHeaderSize;
    if (m_CompressionMode & videowire::kCompressLz) {
        m_ReadPosition = 0;
        m_PackedLength = 0;
        bool done = false;
        if ((capabilities & videowire::kCapDeflate) &&
            (m_CompressionOption & videowire::kCompressDeflate)) {
            done = deflate(&CVideoScanCallbacks::DeflateRead, &CVideoScanCallbacks::DeflateWrite,
                           this) == 1;
        } else if (m_pImplodeWork != nullptr) {
            unsigned int type = CMP_BINARY;
            unsigned int dictionary = 1024;
            done = implode(&CVideoScanCallbacks::ImplodeRead, &CVideoScanCallbacks::ImplodeWrite,
                           reinterpret_cast<char*>(m_pImplodeWork), this, &type,
                           &dictionary) == CMP_NO_ERROR;
        }
        // A compressor that failed leaves nothing usable: the records go raw.
        return done ? m_PackedLength : m_SeqFill;
    }
    return RptCompress(records, m_SeqFill, packed, static_cast<WORD>(kSeqBufferSize));
}

int CVideoScan::FlushSeqBuffer() {
    if (m_SeqFill == 0) {
        return 1;
    }
    WORD packedLength = CompressSequence();
    bool lz = (m_CompressionMode & videowire::kCompressLz) != 0;
    BYTE* frame = m_PackedBuffer;
    if (packedLength >= m_SeqFill) {
        packedLength = m_SeqFill;
        lz = false;
        frame = m_SeqBuffer;
    }
    videoscan::WriteFrameHeader(frame, packedLength, m_SeqFill, lz);
    m_pSession->Transmit(frame, packedLength + static_cast<int>(kFrameHeaderSize), 0);
    if (!lz) {
        // The other side starts its deflate history afresh on every frame without the LZ bit;
        // so does this side, or the two histories would part after a frame sent raw.
        deflate_clr();
    }
    m_SeqFill = 0;
    return 1;
}
