// The conversions fvcodec offers, each from a whole input to a whole output, so that nothing is
// written unless the conversion succeeds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace fvcodec {

using Bytes = std::vector<std::uint8_t>;

struct Outcome {
    bool ok;
    Bytes output;
    std::string error;  // what went wrong, when not ok
};

Outcome Implode(const Bytes& input, unsigned int type, unsigned int dictionary_size);
Outcome Explode(const Bytes& input);
// One video frame: a raw deflate stream from fresh history, ended by the flush the scanner ends its
// frames with.
Outcome Deflate(const Bytes& input);
Outcome Inflate(const Bytes& input);
// The video scanner's run-length form (any length; the output may be longer than the input).
Outcome Rle(const Bytes& input);
Outcome Unrle(const Bytes& input);

}  // namespace fvcodec
