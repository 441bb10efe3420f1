// Decoder of the implode format. It trusts nothing in the stream: every code is checked against
// the bits that really arrived, and every copy against the data already decoded, so a truncated
// or corrupt stream ends with CMP_BAD_DATA and never reads or writes outside the work area.
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

#include "dcl_codes.h"
#include "implode.h"

namespace {

constexpr int kDictionaryMax = 4096;
// Decoded bytes are written out in pieces of this size, after which the last kDictionaryMax
// bytes move to the front of the window as the history of what follows.
constexpr int kFlushAt = 2 * kDictionaryMax;
constexpr int kWindowSize = kFlushAt + dcl::kMaxMatch;
constexpr int kInputSize = 2048;

constexpr auto kLiteralTable = dcl::BuildDecodeTable<dcl::kMaxLiteralBits>(dcl::kLiteralCodes);
constexpr auto kLengthTable = dcl::BuildDecodeTable<dcl::kMaxLengthBits>(dcl::kLengthCodes);
constexpr auto kDistanceTable = dcl::BuildDecodeTable<dcl::kMaxDistanceBits>(dcl::kDistanceCodes);

class Exploder {
public:
    Exploder(ImplodeReadFn read, ImplodeWriteFn write, void* param)
        : read_(read), write_(write), param_(param) {}

    unsigned int Run();

private:
    // Loads input until at least `wanted` bits are held or the input has ended.
    void Fill(int wanted);
    std::uint32_t Peek(int count) const {
        return static_cast<std::uint32_t>(bits_ & ((std::uint64_t{1} << count) - 1));
    }
    void Drop(int count) {
        bits_ >>= count;
        held_ -= count;
    }
    // Takes `count` raw bits; false when the stream ended before them.
    bool Take(int count, std::uint32_t* value);
    // Decodes one symbol with a table; false when its code runs past the end of the stream.
    bool Decode(const dcl::TableEntry* table, int table_bits, int* symbol);

    bool Literal(int* byte);
    bool Length(int* length);
    bool Distance(int length, int* distance);
    void Put(std::uint8_t byte) { window_[position_++] = byte; }
    void Copy(int distance, int length);
    void FlushIfFull();
    void Flush();

    ImplodeReadFn read_;
    ImplodeWriteFn write_;
    void* param_;
    bool ascii_ = false;
    int dictionary_bits_ = 0;

    std::uint64_t bits_ = 0;
    int held_ = 0;
    bool input_ended_ = false;
    unsigned int input_length_ = 0;
    unsigned int input_position_ = 0;
    char input_[kInputSize];

    int position_ = 0;   // bytes in the window; all of them are decoded data
    int unwritten_ = 0;  // first byte not yet given to write_buf
    std::uint8_t window_[kWindowSize];
};

static_assert(sizeof(Exploder) + alignof(Exploder) - 1 <= EXP_BUFFER_SIZE,
              "explode's state must fit in EXP_BUFFER_SIZE");

void Exploder::Fill(int wanted) {
    while (held_ < wanted && held_ <= 56) {
        if (input_position_ == input_length_) {
            if (input_ended_) {
                return;
            }
            unsigned int size = kInputSize;
            input_length_ = read_(input_, &size, param_);
            if (input_length_ > kInputSize) {  // a callback that claims more than it was given
                input_length_ = kInputSize;
            }
            input_position_ = 0;
            if (input_length_ == 0) {
                input_ended_ = true;
                return;
            }
        }
        bits_ |= std::uint64_t{static_cast<std::uint8_t>(input_[input_position_++])} << held_;
        held_ += 8;
    }
}

bool Exploder::Take(int count, std::uint32_t* value) {
    Fill(count);
    if (held_ < count) {
        return false;
    }
    *value = Peek(count);
    Drop(count);
    return true;
}

bool Exploder::Decode(const dcl::TableEntry* table, int table_bits, int* symbol) {
    Fill(table_bits);
    // Bits past the end of the stream read as zeros; a code that needs them is truncated.
    const dcl::TableEntry entry = table[Peek(table_bits)];
    if (entry.bits > held_) {
        return false;
    }
    Drop(entry.bits);
    *symbol = entry.symbol;
    return true;
}

bool Exploder::Literal(int* byte) {
    if (ascii_) {
        return Decode(kLiteralTable.data(), dcl::kMaxLiteralBits, byte);
    }
    std::uint32_t value = 0;
    if (!Take(8, &value)) {
        return false;
    }
    *byte = static_cast<int>(value);
    return true;
}

bool Exploder::Length(int* length) {
    int symbol = 0;
    std::uint32_t extra = 0;
    if (!Decode(kLengthTable.data(), dcl::kMaxLengthBits, &symbol) ||
        !Take(dcl::kLengthExtra[symbol], &extra)) {
        return false;
    }
    *length = dcl::kLengthBase[symbol] + static_cast<int>(extra);
    return true;
}

bool Exploder::Distance(int length, int* distance) {
    const int low_bits = length == dcl::kMinMatch ? 2 : dictionary_bits_;
    int symbol = 0;
    std::uint32_t low = 0;
    if (!Decode(kDistanceTable.data(), dcl::kMaxDistanceBits, &symbol) || !Take(low_bits, &low)) {
        return false;
    }
    *distance = (symbol << low_bits) + static_cast<int>(low) + 1;
    return true;
}

void Exploder::Copy(int distance, int length) {
    std::uint8_t* to = window_ + position_;
    const std::uint8_t* from = to - distance;
    if (distance >= length) {
        std::memcpy(to, from, static_cast<std::size_t>(length));
    } else {
        for (int i = 0; i < length; ++i) {  // overlapping: repeats the last `distance` bytes
            to[i] = from[i];
        }
    }
    position_ += length;
}

void Exploder::Flush() {
    if (position_ > unwritten_) {
        unsigned int size = static_cast<unsigned int>(position_ - unwritten_);
        write_(reinterpret_cast<char*>(window_ + unwritten_), &size, param_);
    }
    unwritten_ = position_;
}

void Exploder::FlushIfFull() {
    if (position_ < kFlushAt) {
        return;
    }
    Flush();
    std::memmove(window_, window_ + position_ - kDictionaryMax, kDictionaryMax);
    position_ = kDictionaryMax;
    unwritten_ = kDictionaryMax;
}

unsigned int Exploder::Run() {
    std::uint32_t type = 0;
    std::uint32_t dictionary_bits = 0;
    if (!Take(8, &type) || !Take(8, &dictionary_bits)) {
        return CMP_BAD_DATA;
    }
    if (type != CMP_BINARY && type != CMP_ASCII) {
        return CMP_INVALID_MODE;
    }
    if (dictionary_bits < 4 || dictionary_bits > 6) {
        return CMP_INVALID_DICTSIZE;
    }
    ascii_ = type == CMP_ASCII;
    dictionary_bits_ = static_cast<int>(dictionary_bits);

    for (;;) {
        std::uint32_t is_copy = 0;
        if (!Take(1, &is_copy)) {
            return CMP_BAD_DATA;
        }
        if (!is_copy) {
            int byte = 0;
            if (!Literal(&byte)) {
                return CMP_BAD_DATA;
            }
            Put(static_cast<std::uint8_t>(byte));
        } else {
            int length = 0;
            int distance = 0;
            if (!Length(&length)) {
                return CMP_BAD_DATA;
            }
            if (length == dcl::kEndLength) {
                break;
            }
            if (!Distance(length, &distance) || distance > position_) {
                return CMP_BAD_DATA;
            }
            Copy(distance, length);
        }
        FlushIfFull();
    }
    Flush();
    return CMP_NO_ERROR;
}

}  // namespace

unsigned int explode(ImplodeReadFn read_buf, ImplodeWriteFn write_buf, char* work_buf,
                     void* param) {
    if (read_buf == nullptr || write_buf == nullptr || work_buf == nullptr) {
        return CMP_ABORT;
    }
    void* area = work_buf;
    std::size_t space = EXP_BUFFER_SIZE;
    area = std::align(alignof(Exploder), sizeof(Exploder), area, space);
    Exploder* exploder = new (area) Exploder(read_buf, write_buf, param);
    const unsigned int result = exploder->Run();
    exploder->~Exploder();
    return result;
}
