// Our implode against StormLib's on the same inputs: text, binary data and the bytes of a
// screen-like image, each as one stream with a 4096-byte dictionary and as the video scanner
// sends it (10240-byte frames, binary, 1024-byte dictionary). Prints the compressed size ratio
// (ours / StormLib's) and the speed ratio (StormLib's time / ours) of every case.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "codec_samples.h"
#include "implode.h"
#include "storm_dcl.h"

namespace {

using samples::Bytes;

struct Input {
    std::string name;
    Bytes data;
    unsigned int type;
    unsigned int dictionary_size;
    std::size_t piece;  // each piece is compressed as a stream of its own
};

Bytes FileStart(const char* path, std::size_t limit) {
    std::ifstream file(path, std::ios::binary);
    Bytes bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>{});
    bytes.resize(std::min(bytes.size(), limit));
    return bytes;
}

std::vector<Input> Inputs() {
    constexpr std::size_t kFrame = 10240;
    const Bytes text = samples::Text(256 * 1024);
    const Bytes binary = samples::Binary(256 * 1024);
    const Bytes screen = samples::Screen(1024, 768);
    std::vector<Input> inputs = {
        {"text/ascii/4096", text, CMP_ASCII, 4096, text.size()},
        {"text/binary/4096", text, CMP_BINARY, 4096, text.size()},
        {"binary/binary/4096", binary, CMP_BINARY, 4096, binary.size()},
        {"screen/binary/4096", screen, CMP_BINARY, 4096, screen.size()},
        {"screen/frames/1024", screen, CMP_BINARY, 1024, kFrame},
        {"binary/frames/1024", binary, CMP_BINARY, 1024, kFrame},
    };
    // Real files of the machine, where present.
    const Bytes licence = FileStart("/usr/share/common-licenses/GPL-3", 1 << 20);
    if (!licence.empty()) {
        inputs.push_back({"licence/ascii/4096", licence, CMP_ASCII, 4096, licence.size()});
    }
    const Bytes program = FileStart("/usr/bin/cmake", 1 << 20);
    if (!program.empty()) {
        inputs.push_back({"program/binary/4096", program, CMP_BINARY, 4096, program.size()});
    }
    return inputs;
}

struct Pipe {
    const std::uint8_t* input;
    std::size_t size;
    std::size_t position;
    std::size_t written;

    static unsigned int Read(char* buf, unsigned int* size, void* param) {
        auto* pipe = static_cast<Pipe*>(param);
        const std::size_t count = std::min<std::size_t>(*size, pipe->size - pipe->position);
        std::memcpy(buf, pipe->input + pipe->position, count);
        pipe->position += count;
        return static_cast<unsigned int>(count);
    }
    static void Write(char*, unsigned int* size, void* param) {
        static_cast<Pipe*>(param)->written += *size;
    }
};

using ImplodeFn = unsigned int (*)(ImplodeReadFn, ImplodeWriteFn, char*, void*, unsigned int*,
                                   unsigned int*);

// Compresses the input piece by piece; returns the total compressed size.
std::size_t CompressAll(ImplodeFn fn, const Input& input, std::vector<char>& work) {
    std::size_t total = 0;
    for (std::size_t at = 0; at < input.data.size(); at += input.piece) {
        Pipe pipe{input.data.data() + at, std::min(input.piece, input.data.size() - at), 0, 0};
        unsigned int type = input.type;
        unsigned int size = input.dictionary_size;
        fn(Pipe::Read, Pipe::Write, work.data(), &pipe, &type, &size);
        total += pipe.written;
    }
    return total;
}

struct Measure {
    double seconds = 0;
    std::size_t compressed = 0;
};
std::map<std::string, Measure> g_ours;
std::map<std::string, Measure> g_theirs;

void BM_Implode(benchmark::State& state, const Input* input, bool ours) {
    std::vector<char> work(ours ? CMP_BUFFER_SIZE : storm_dcl::kWorkAreaSize);
    const ImplodeFn fn = ours ? static_cast<ImplodeFn>(implode) : storm_dcl::Implode;
    std::size_t compressed = 0;
    for (auto _ : state) {
        compressed = CompressAll(fn, *input, work);
        benchmark::DoNotOptimize(compressed);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * input->data.size()));
    state.counters["ratio"] =
        static_cast<double>(compressed) / static_cast<double>(input->data.size());
    (ours ? g_ours : g_theirs)[input->name].compressed = compressed;
}

// Keeps the time per iteration of each run, to print the ratios at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const std::string name = run.benchmark_name();
            const bool ours = name.rfind("ours/", 0) == 0;
            const std::string key = name.substr(name.find('/') + 1);
            const std::string input = key.substr(0, key.find("/iterations") == std::string::npos
                                                        ? key.size()
                                                        : key.find("/iterations"));
            (ours ? g_ours : g_theirs)[input].seconds = run.GetAdjustedRealTime();
        }
    }
};

}  // namespace

int main(int argc, char** argv) {
    const std::vector<Input> inputs = Inputs();
    for (const Input& input : inputs) {
        benchmark::RegisterBenchmark(("ours/" + input.name).c_str(), BM_Implode, &input, true);
        benchmark::RegisterBenchmark(("stormlib/" + input.name).c_str(), BM_Implode, &input, false);
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\n%-22s %12s %12s %14s %14s\n", "input", "ours bytes", "stormlib", "size ratio",
                "speed ratio");
    double worst_size = 0;
    double worst_speed = 1e9;
    for (const Input& input : inputs) {
        const Measure ours = g_ours[input.name];
        const Measure theirs = g_theirs[input.name];
        if (ours.seconds == 0 || theirs.seconds == 0) {
            continue;  // filtered out
        }
        const double size_ratio =
            static_cast<double>(ours.compressed) / static_cast<double>(theirs.compressed);
        const double speed_ratio = theirs.seconds / ours.seconds;
        worst_size = std::max(worst_size, size_ratio);
        worst_speed = std::min(worst_speed, speed_ratio);
        std::printf("%-22s %12zu %12zu %14.4f %14.2f\n", input.name.c_str(), ours.compressed,
                    theirs.compressed, size_ratio, speed_ratio);
    }
    std::printf(
        "\nsize ratio = our compressed size / StormLib's (target <= 1.02)\n"
        "speed ratio = StormLib's time / ours (target >= 1.00)\n"
        "worst size ratio %.4f, worst speed ratio %.2f\n",
        worst_size, worst_speed);
    return 0;
}
