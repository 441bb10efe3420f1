// Searching a 64 MiB buffer of 80-character lines for text that does not occur in it: the
// editor's plain search (exact and case-folded) against memmem over the same bytes in one
// block, and a regular-expression search against the plain search. Prints the ratios
// (baseline time / our time); the target for plain search against memmem is at least 0.3.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "editor/core/buffer.h"
#include "editor/core/edit_window.h"
#include "editor/core/file_read.h"
#include "editor/core/lines.h"
#include "editor/core/search.h"

namespace {

constexpr std::size_t kTextSize = 64u << 20;
constexpr std::size_t kLineLength = 80;

// Words without x, z, q and j, so that the patterns below never match.
const char* const kWords[] = {
    "the", "of",   "and",   "to",    "in",   "is",   "it",   "was",  "for",   "on",    "are",
    "as",  "with", "his",   "they",  "at",   "be",   "this", "from", "have",  "or",    "by",
    "one", "had",  "not",   "but",   "what", "all",  "were", "when", "we",    "there", "can",
    "an",  "your", "which", "their", "said", "if",   "do",   "will", "each",  "about", "how",
    "up",  "out",  "them",  "then",  "she",  "many", "some", "so",   "these", "would", "other"};

std::string& Text() {
    static std::string text = [] {
        std::string bytes;
        bytes.reserve(kTextSize + 2 * kLineLength);
        std::size_t word = 0;
        for (std::size_t line = 0; bytes.size() < kTextSize; ++line) {
            std::string row = std::to_string(line) + " ";
            while (row.size() < kLineLength - 8) {
                row += kWords[word++ % (sizeof kWords / sizeof kWords[0])];
                row += ' ';
            }
            bytes += row;
            bytes += "\r\n";
        }
        return bytes;
    }();
    return text;
}

// One buffer and window holding the text, made current.
void MakeBuffer() {
    static std::vector<char> storage;
    if (pwinCurrent != nullptr) {
        return;
    }
    storage.assign(Text().begin(), Text().end());
    storage.push_back('\0');
    Buffer* buffer = CreateBuffer();
    EditWindow* window = NewEditWindow(buffer);
    SetCurrentWindow(window);
    BuildLineTable(buffer, storage.data(), static_cast<DWORD>(Text().size()), '\r');
    RenumberLines();
}

void Search(benchmark::State& state, const char* pattern, bool matchCase, bool regex) {
    MakeBuffer();
    std::snprintf(searchState.pattern, sizeof searchState.pattern, "%s", pattern);
    searchState.matchCase = matchCase;
    searchState.regularExpression = regex;
    for (auto _ : state) {
        pwinCurrent->dot = {pbufCurrent->lplnFirst, 0};
        int found = SearchFromDot(false);
        if (found != 0) {
            state.SkipWithError("the pattern was found");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Text().size()));
}

void Memmem(benchmark::State& state, const char* pattern) {
    const std::string& text = Text();
    for (auto _ : state) {
        const void* found = memmem(text.data(), text.size(), pattern, std::strlen(pattern));
        benchmark::DoNotOptimize(found);
        if (found != nullptr) {
            state.SkipWithError("the pattern was found");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

// "them quick": its first letter starts many words, so most lines have candidates to compare.
void BM_MemmemCommon(benchmark::State& state) {
    Memmem(state, "them quick");
}
void BM_PlainCaseCommon(benchmark::State& state) {
    Search(state, "them quick", true, false);
}
void BM_PlainFoldedCommon(benchmark::State& state) {
    Search(state, "Them Quick", false, false);
}
// "zebra": its first letter never occurs.
void BM_MemmemRare(benchmark::State& state) {
    Memmem(state, "zebra");
}
void BM_PlainCaseRare(benchmark::State& state) {
    Search(state, "zebra", true, false);
}
void BM_RegexDigitsX(benchmark::State& state) {
    Search(state, "[0-9]@x", false, true);
}

BENCHMARK(BM_MemmemCommon)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_PlainCaseCommon)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_PlainFoldedCommon)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_MemmemRare)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_PlainCaseRare)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_RegexDigitsX)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// Keeps the time per iteration of each benchmark, to print the ratios at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.iterations > 0 && !run.error_occurred) {
                seconds[run.run_name.function_name] = run.GetAdjustedRealTime();
            }
        }
    }
    std::map<std::string, double> seconds;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    auto ratio = [&](const char* baseline, const char* ours) {
        auto b = reporter.seconds.find(baseline);
        auto o = reporter.seconds.find(ours);
        return b != reporter.seconds.end() && o != reporter.seconds.end() && o->second > 0
                   ? b->second / o->second
                   : 0.0;
    };
    std::printf(
        "\nplain search, exact, common first letter vs memmem: ratio %.2f (target >= 0.3)\n",
        ratio("BM_MemmemCommon", "BM_PlainCaseCommon"));
    std::printf("plain search, folded, common first letter vs memmem: ratio %.2f (target >= 0.3)\n",
                ratio("BM_MemmemCommon", "BM_PlainFoldedCommon"));
    std::printf("plain search, exact, rare first letter vs memmem:   ratio %.2f (target >= 0.3)\n",
                ratio("BM_MemmemRare", "BM_PlainCaseRare"));
    std::printf("regular expression [0-9]@x vs plain search (exact, common): ratio %.2f\n",
                ratio("BM_PlainCaseCommon", "BM_RegexDigitsX"));
    return 0;
}
