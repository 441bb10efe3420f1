// CRC-16/ARC (reflected polynomial 0xA001, initial value 0, no final inversion) together with
// the byte sum that the cell checksum needs, computed in one pass over the bytes.
//
// Several kernels compute the same values: a table-driven one that works everywhere, and
// carry-less multiplication kernels (128-bit on any x86-64 with PCLMULQDQ, the same with AVX2,
// 256-bit with AVX2 and VPCLMULQDQ, 512-bit with AVX-512) chosen at start from what the
// processor has. All but the 512-bit one first reduce a long message with exclusive ors alone
// (crc16_ring.h) and fold only what is left with carry-less multiplies. Scanning reads every cell
// of the screen on every pass, so this runs over as many bytes as the screen holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace videoscan {

struct CrcSum {
    std::uint16_t crc = 0;
    std::uint8_t sum = 0;  // sum of the bytes modulo 256
};

enum class CrcKernel { Table, Clmul128, Clmul128Avx2, Clmul256, Clmul512 };

// Continues `state` over the bytes with the fastest kernel this processor offers.
CrcSum CrcSumUpdate(CrcSum state, const std::uint8_t* bytes, std::size_t count);
// The same with a given kernel; the caller checked that the processor has it.
CrcSum CrcSumUpdateWith(CrcKernel kernel, CrcSum state, const std::uint8_t* bytes,
                        std::size_t count);
// CrcSumUpdate that also copies the bytes to `copy` (count bytes, not overlapping them) as it
// reads them, so that bytes from far memory are read once.
CrcSum CrcSumCopy(CrcSum state, const std::uint8_t* bytes, std::size_t count, std::uint8_t* copy);
CrcSum CrcSumCopyWith(CrcKernel kernel, CrcSum state, const std::uint8_t* bytes, std::size_t count,
                      std::uint8_t* copy);
// CrcSumCopy over a message that arrives in pieces of any length (a cell read row by row):
// Finish gives what CrcSumUpdate gives for all the pieces back to back. With the 256-bit
// kernel the lanes stay unreduced from piece to piece, so pieces cost no more than one piece.
class CrcSumCopyStream {
public:
    explicit CrcSumCopyStream(CrcSum start = {});
    CrcSumCopyStream(CrcKernel kernel, CrcSum start);
    void Append(const std::uint8_t* bytes, std::size_t count, std::uint8_t* copy);
    CrcSum Finish() const;

    static constexpr std::size_t kLaneBytes = 9 * 32;
    static constexpr std::size_t kHeldBytes = 256;

private:
    CrcKernel kernel_;
    CrcSum state_;  // the start, or the value so far for kernels that keep no lanes
    bool started_ = false;
    alignas(32) unsigned char lanes_[kLaneBytes];
    std::uint8_t held_[kHeldBytes];  // read but not yet folded: less than one stride
    std::size_t heldCount_ = 0;
};

// The kernel CrcSumUpdate uses on this processor, chosen once at start.
CrcKernel ChosenCrcKernel();
// The kernels this processor can run, slowest first.
std::span<const CrcKernel> AvailableCrcKernels();
const char* CrcKernelName(CrcKernel kernel);

// One step of the byte-wise definition: crc := (crc >> 8) XOR table[(crc XOR byte) AND 0xFF].
std::uint16_t Crc16ArcByte(std::uint16_t crc, std::uint8_t byte);

}  // namespace videoscan
