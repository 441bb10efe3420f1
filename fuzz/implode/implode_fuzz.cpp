// Explode must survive any input, and implode followed by explode must give the input back.
// The first byte picks the read size, the type and the dictionary size.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "implode.h"

namespace {

struct Pipe {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t chunk;
    std::size_t position = 0;
    std::vector<std::uint8_t> output;
};

unsigned int Read(char* buf, unsigned int* size, void* param) {
    auto* pipe = static_cast<Pipe*>(param);
    std::size_t count = pipe->size - pipe->position;
    count = count < *size ? count : *size;
    count = count < pipe->chunk ? count : pipe->chunk;
    std::memcpy(buf, pipe->data + pipe->position, count);
    pipe->position += count;
    return static_cast<unsigned int>(count);
}

void Write(char* buf, unsigned int* size, void* param) {
    auto* pipe = static_cast<Pipe*>(param);
    pipe->output.insert(pipe->output.end(), buf, buf + *size);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::uint8_t control = data[0];
    const std::size_t chunk = 1 + (control & 0x0F) * 97;
    ++data;
    --size;

    std::vector<char> explode_work(EXP_BUFFER_SIZE);
    Pipe corrupt{data, size, chunk, 0, {}};
    explode(Read, Write, explode_work.data(), &corrupt);

    std::vector<char> implode_work(CMP_BUFFER_SIZE);
    Pipe plain{data, size, chunk, 0, {}};
    unsigned int type = (control & 0x10) ? CMP_ASCII : CMP_BINARY;
    unsigned int dictionary_size = 1024u << ((control >> 5) % 3);
    if (implode(Read, Write, implode_work.data(), &plain, &type, &dictionary_size) !=
        CMP_NO_ERROR) {
        std::abort();
    }
    Pipe packed{plain.output.data(), plain.output.size(), chunk, 0, {}};
    if (explode(Read, Write, explode_work.data(), &packed) != CMP_NO_ERROR ||
        packed.output.size() != size ||
        (size > 0 && std::memcmp(packed.output.data(), data, size) != 0)) {
        std::abort();
    }
    return 0;
}
