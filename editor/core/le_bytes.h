// Little-endian fields of the editor's binary files (saved state, keyboard files).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

inline void PutLe16(unsigned char* at, std::uint16_t value) {
    at[0] = static_cast<unsigned char>(value);
    at[1] = static_cast<unsigned char>(value >> 8);
}

inline void PutLe32(unsigned char* at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        at[i] = static_cast<unsigned char>(value >> (8 * i));
    }
}

inline std::uint16_t GetLe16(const unsigned char* at) {
    return static_cast<std::uint16_t>(at[0] | (at[1] << 8));
}

inline std::uint32_t GetLe32(const unsigned char* at) {
    return static_cast<std::uint32_t>(at[0]) | (static_cast<std::uint32_t>(at[1]) << 8) |
           (static_cast<std::uint32_t>(at[2]) << 16) | (static_cast<std::uint32_t>(at[3]) << 24);
}

inline std::int32_t GetLe32Signed(const unsigned char* at) {
    return static_cast<std::int32_t>(GetLe32(at));
}

// A NUL-padded text field of size bytes: the text cut to size - 1 characters.
inline void PutText(unsigned char* at, std::size_t size, const char* text) {
    std::memset(at, 0, size);
    std::size_t length = strnlen(text, size - 1);
    std::memcpy(at, text, length);
}

// Reads a text field that may lack its NUL: never past the field, always terminated.
inline void GetText(const unsigned char* at, std::size_t size, char* text) {
    std::size_t length = strnlen(reinterpret_cast<const char*>(at), size - 1);
    std::memcpy(text, at, length);
    text[length] = '\0';
}
