#include "fvcpress.h"

namespace {

// Each thread compresses with its own stream: see the header.
FrameDeflater& ThreadDeflater() {
    thread_local FrameDeflater deflater;
    return deflater;
}

}  // namespace

int deflate(DeflateReadFn read, DeflateWriteFn write, void* context) {
    if (read == nullptr || write == nullptr) {
        return 0;
    }
    return ThreadDeflater().Compress(read, write, context) ? 1 : 0;
}

void deflate_clr() {
    ThreadDeflater().Reset();
}
