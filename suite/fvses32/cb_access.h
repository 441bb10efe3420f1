// The session library's access to the CB block: the items it maintains for the video scanner,
// by the table in session/cb_block.h. Each byte is one relaxed atomic access, as every party
// of the block does it.
#pragma once

#include <atomic>
#include <cstdint>

#include "session/cb_block.h"

class CBAccess {
public:
    explicit CBAccess(unsigned char* block) : block_(block) {}

    std::uint8_t Byte(std::uint16_t item) const { return Load(CBItemOffset(item)); }
    void SetByte(std::uint16_t item, std::uint8_t value) { Store(CBItemOffset(item), value); }
    void SetBits(std::uint16_t item, std::uint8_t bits) { SetByte(item, Byte(item) | bits); }
    void ClearBits(std::uint16_t item, std::uint8_t bits) {
        SetByte(item, static_cast<std::uint8_t>(Byte(item) & ~bits));
    }
    void SetWord(std::uint16_t item, std::uint16_t value) {
        const std::size_t offset = CBItemOffset(item);
        Store(offset, static_cast<std::uint8_t>(value));
        Store(offset + 1, static_cast<std::uint8_t>(value >> 8));
    }

private:
    std::uint8_t Load(std::size_t offset) const {
        return std::atomic_ref<unsigned char>(block_[offset]).load(std::memory_order_relaxed);
    }
    void Store(std::size_t offset, std::uint8_t value) {
        std::atomic_ref<unsigned char>(block_[offset]).store(value, std::memory_order_relaxed);
    }

    unsigned char* block_;
};
