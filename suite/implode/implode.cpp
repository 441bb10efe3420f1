// The implode compressor: a lazy parse over the match finder's copies. At each position it
// looks one byte ahead and emits a literal instead of a copy when the next position starts a
// longer one. Literal and copy costs are known exactly (the codes are fixed), so a short copy is
// used only where it is cheaper than its bytes sent as literals.
#include <algorithm>
#include <memory>
#include <new>

#include "bit_sink.h"
#include "dcl_codes.h"
#include "implode.h"
#include "match_finder.h"

namespace {

using dcl::Code;
using dcl::Match;

// The code of every copy length with its extra bits, as one code.
constexpr std::array<Code, dcl::kEndLength + 1> BuildLengthEncoding() {
    std::array<Code, dcl::kEndLength + 1> table{};
    for (int symbol = 0; symbol < dcl::kLengthSymbols; ++symbol) {
        const int extra_bits = dcl::kLengthExtra[symbol];
        for (int extra = 0; extra < (1 << extra_bits); ++extra) {
            const Code code = dcl::kLengthCodes[symbol];
            table[dcl::kLengthBase[symbol] + extra] =
                Code{static_cast<std::uint16_t>(code.code | (extra << code.bits)),
                     static_cast<std::uint8_t>(code.bits + extra_bits)};
        }
    }
    return table;
}
constexpr auto kLengthEncoding = BuildLengthEncoding();

// Links followed per search: half the dictionary, at most 1024. Data of few distinct bytes,
// such as two-colour screen rows, fills the chains of its byte pairs, and the longest copy is
// often far down them. Once a copy of 6 bytes is found, a quarter of the links are followed,
// which keeps ordinary data fast.
dcl::MatchFinder::Effort EffortFor(int dictionary_size) {
    return dcl::MatchFinder::Effort{/*max_chain=*/std::min(dictionary_size / 2, 1024),
                                    /*nice_length=*/dcl::kMaxMatch, /*good_length=*/6};
}
// A copy at least this long is taken without looking at the next position.
constexpr int kMaxLazy = 64;
// The copy one byte on replaces the pending one only when it is longer by more than this: a
// copy one byte longer does not pay for the literal it costs.
constexpr int kLazyMargin = 1;

class Imploder {
public:
    Imploder(ImplodeReadFn read, ImplodeWriteFn write, void* param, bool ascii, int dictionary_bits)
        : finder_(read, param, 64 << dictionary_bits, EffortFor(64 << dictionary_bits)),
          sink_(write, param),
          ascii_(ascii),
          dictionary_bits_(dictionary_bits) {}

    void Run();

private:
    int LiteralCost(std::uint8_t byte) const {
        return 1 + (ascii_ ? dcl::kLiteralCodes[byte].bits : 8);
    }
    int LowBits(int length) const { return length == dcl::kMinMatch ? 2 : dictionary_bits_; }
    int CopyCost(Match match) const {
        const int low_bits = LowBits(match.length);
        return 1 + kLengthEncoding[match.length].bits +
               dcl::kDistanceCodes[(match.distance - 1) >> low_bits].bits + low_bits;
    }
    // Drops a short copy that costs more than its bytes as literals (only in ASCII mode).
    Match Worthwhile(Match match) const;
    void PutLiteral(std::uint8_t byte);
    void PutCopy(Match match);
    void PutEnd();

    dcl::MatchFinder finder_;
    dcl::BitSink sink_;
    bool ascii_;
    int dictionary_bits_;
};

Match Imploder::Worthwhile(Match match) const {
    if (!ascii_ || match.length < dcl::kMinMatch || match.length > 3) {
        return match;
    }
    int literals = 0;
    for (int i = 0; i < match.length; ++i) {
        literals += LiteralCost(finder_.ByteAt(i));
    }
    return CopyCost(match) < literals ? match : Match{0, 0};
}

void Imploder::PutLiteral(std::uint8_t byte) {
    if (ascii_) {
        const Code code = dcl::kLiteralCodes[byte];
        sink_.Put(std::uint32_t{code.code} << 1, code.bits + 1);
    } else {
        sink_.Put(std::uint32_t{byte} << 1, 9);
    }
}

void Imploder::PutCopy(Match match) {
    const Code length = kLengthEncoding[match.length];
    const int low_bits = LowBits(match.length);
    const int distance = match.distance - 1;
    const Code high = dcl::kDistanceCodes[distance >> low_bits];
    const std::uint32_t low = static_cast<std::uint32_t>(distance) & ((1u << low_bits) - 1);
    sink_.Put(1u | (std::uint32_t{length.code} << 1), 1 + length.bits);
    sink_.Put(high.code | (low << high.bits), high.bits + low_bits);
}

void Imploder::PutEnd() {
    const Code end = kLengthEncoding[dcl::kEndLength];
    sink_.Put(1u | (std::uint32_t{end.code} << 1), 1 + end.bits);
}

void Imploder::Run() {
    sink_.Put(ascii_ ? CMP_ASCII : CMP_BINARY, 8);
    sink_.Put(static_cast<std::uint32_t>(dictionary_bits_), 8);

    // The copy found at the previous position, waiting to see whether this one is longer.
    Match pending{0, 0};
    bool byte_pending = false;
    for (;;) {
        finder_.Fill();
        if (finder_.lookahead() == 0) {
            break;
        }
        Match match{0, 0};
        if (finder_.lookahead() >= dcl::kMinMatch) {
            finder_.Enter();
            if (pending.length < kMaxLazy) {
                const int at_least =
                    pending.length >= dcl::kMinMatch ? pending.length + kLazyMargin : 1;
                match = Worthwhile(finder_.Find(at_least));
            }
        }
        if (pending.length >= dcl::kMinMatch && match.length <= pending.length + kLazyMargin) {
            // The copy that started one byte back is at least as long: take it.
            PutCopy(pending);
            finder_.Skip();
            finder_.EnterAndSkip(pending.length - 2);
            pending = Match{0, 0};
            byte_pending = false;
            continue;
        }
        if (byte_pending) {
            PutLiteral(finder_.ByteAt(-1));
        }
        pending = match;
        byte_pending = true;
        finder_.Skip();
    }
    if (byte_pending) {
        PutLiteral(finder_.ByteAt(-1));
    }
    PutEnd();
    sink_.Finish();
}

}  // namespace

static_assert(sizeof(Imploder) + alignof(Imploder) - 1 <= CMP_BUFFER_SIZE,
              "implode's state must fit in the work area of CMP_BUFFER_SIZE bytes");

unsigned int implode(ImplodeReadFn read_buf, ImplodeWriteFn write_buf, char* work_buf, void* param,
                     unsigned int* type, unsigned int* dsize) {
    if (read_buf == nullptr || write_buf == nullptr || work_buf == nullptr || type == nullptr ||
        dsize == nullptr) {
        return CMP_ABORT;
    }
    if (*type != CMP_BINARY && *type != CMP_ASCII) {
        return CMP_INVALID_MODE;
    }
    int dictionary_bits = 0;
    switch (*dsize) {
        case 1024:
            dictionary_bits = 4;
            break;
        case 2048:
            dictionary_bits = 5;
            break;
        case 4096:
            dictionary_bits = 6;
            break;
        default:
            return CMP_INVALID_DICTSIZE;
    }
    void* area = work_buf;
    std::size_t space = CMP_BUFFER_SIZE;
    area = std::align(alignof(Imploder), sizeof(Imploder), area, space);
    Imploder* imploder =
        new (area) Imploder(read_buf, write_buf, param, *type == CMP_ASCII, dictionary_bits);
    imploder->Run();
    imploder->~Imploder();
    return CMP_NO_ERROR;
}
