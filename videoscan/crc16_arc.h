// CRC-16/ARC (reflected polynomial 0xA001, initial value 0, no final inversion) together with
// the byte sum that the cell checksum needs, computed in one pass over the bytes.
//
// Several kernels compute the same values: a table-driven one that works everywhere, and
// carry-less multiplication kernels (128-bit on any x86-64 with PCLMULQDQ, 256-bit with AVX2
// and VPCLMULQDQ, 512-bit with AVX-512) chosen at start from what the processor has. Scanning reads
// every cell of the screen on every pass, so this runs over as many bytes as the screen holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace videoscan {

struct CrcSum {
    std::uint16_t crc = 0;
    std::uint8_t sum = 0;  // sum of the bytes modulo 256
};

enum class CrcKernel { Table, Clmul128, Clmul256, Clmul512 };

// Continues `state` over the bytes with the fastest kernel this processor offers.
CrcSum CrcSumUpdate(CrcSum state, const std::uint8_t* bytes, std::size_t count);
// The same with a given kernel; the caller checked that the processor has it.
CrcSum CrcSumUpdateWith(CrcKernel kernel, CrcSum state, const std::uint8_t* bytes,
                        std::size_t count);
// The kernel CrcSumUpdate uses on this processor, chosen once at start.
CrcKernel ChosenCrcKernel();
// The kernels this processor can run, slowest first.
std::span<const CrcKernel> AvailableCrcKernels();
const char* CrcKernelName(CrcKernel kernel);

// One step of the byte-wise definition: crc := (crc >> 8) XOR table[(crc XOR byte) AND 0xFF].
std::uint16_t Crc16ArcByte(std::uint16_t crc, std::uint8_t byte);

}  // namespace videoscan
