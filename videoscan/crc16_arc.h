// CRC-16/ARC (reflected polynomial 0xA001, initial value 0, no final inversion) together with
// the byte sum that the cell checksum needs, computed in one pass over the bytes.
//
// Several kernels compute the same values: a table-driven one that works everywhere, and
// carry-less multiplication kernels (128-bit and 512-bit) chosen at run time when the
// processor has them. Scanning reads every cell of the screen on every pass, so this runs
// over as many bytes as the screen holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace videoscan {

struct CrcSum {
    std::uint16_t crc = 0;
    std::uint8_t sum = 0;  // sum of the bytes modulo 256
};

enum class CrcKernel { Table, Clmul128, Clmul512 };

// Continues `state` over the bytes with the fastest kernel this processor offers.
CrcSum CrcSumUpdate(CrcSum state, const std::uint8_t* bytes, std::size_t count);
// The same with a given kernel; the caller checked that the processor has it.
CrcSum CrcSumUpdateWith(CrcKernel kernel, CrcSum state, const std::uint8_t* bytes,
                        std::size_t count);
// The kernels this processor can run, slowest first.
std::span<const CrcKernel> AvailableCrcKernels();
const char* CrcKernelName(CrcKernel kernel);

// One step of the byte-wise definition: crc := (crc >> 8) XOR table[(crc XOR byte) AND 0xFF].
std::uint16_t Crc16ArcByte(std::uint16_t crc, std::uint8_t byte);

}  // namespace videoscan
