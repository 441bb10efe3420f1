#include "videodecode/raster_op.h"

namespace videodecode {

Rgb RasterOp::apply(Rgb pattern, Rgb source, Rgb destination) const {
    switch (table()) {
        case 0xCC:
            return source;
        case 0xF0:
            return pattern;
        case 0xAA:
            return destination;
        default:
            break;
    }
    // Sum of the minterms whose table bit is set.
    const std::uint8_t truth = table();
    Rgb result = 0;
    for (int minterm = 0; minterm < 8; ++minterm) {
        if ((truth >> minterm & 1) == 0) {
            continue;
        }
        Rgb p = (minterm & 4) ? pattern : ~pattern;
        Rgb s = (minterm & 2) ? source : ~source;
        Rgb d = (minterm & 1) ? destination : ~destination;
        result |= p & s & d;
    }
    return result & 0x00FFFFFF;
}

}  // namespace videodecode
