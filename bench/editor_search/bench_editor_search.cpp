// Searching a 64 MiB buffer of 80-character lines for text that does not occur in it: the
// editor's plain search (exact and case-folded, forward and backward, with the AVX2 kernel
// where the processor has it and with the portable one) against memmem over the same bytes in
// one block, and regular-expression searches against the plain search. Then regular
// expressions that make a backtracking matcher take exponential time, on a line of the
// longest length. Prints the ratios (baseline time / our time), the kernels that ran and the
// speed of the slowest pathological pattern. Targets: plain search at least 0.5 of memmem;
// [0-9]@x at least 0.1 of plain search; the slowest pathological pattern at least 10 MB/s.
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
#include "editor/core/plain_search.h"
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

Line* LastLine() {
    Line* line = pbufCurrent->lplnFirst;
    while (line->next != nullptr) {
        line = line->next;
    }
    return line;
}

struct SearchCase {
    const char* pattern;
    bool matchCase;
    bool regex;
    bool backward;
    SearchKernel kernel;
};

void Search(benchmark::State& state, SearchCase search) {
    MakeBuffer();
    if (!SelectSearchKernel(search.kernel)) {
        state.SkipWithError("the processor cannot run this kernel");
        return;
    }
    std::snprintf(searchState.pattern, sizeof searchState.pattern, "%s", search.pattern);
    searchState.matchCase = search.matchCase;
    searchState.regularExpression = search.regex;
    Line* last = LastLine();
    for (auto _ : state) {
        pwinCurrent->dot = search.backward ? Position{last, static_cast<WORD>(last->length)}
                                           : Position{pbufCurrent->lplnFirst, 0};
        int found = SearchFromDot(search.backward);
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

// Patterns: "them quick" begins with a letter that starts many words, so that most lines
// have candidates for a first-letter search; "these other" consists of the most frequent
// letters only (neither phrase occurs); "zebra" has a first letter that never occurs.
struct Plain {
    const char* name;
    const char* memmemPattern;
    SearchCase search;
};

const SearchKernel kAvx2 = SearchKernel::Avx2;
const SearchKernel kPortable = SearchKernel::Portable;

const Plain kPlainCases[] = {
    {"exact, common first letter", "them quick", {"them quick", true, false, false, kAvx2}},
    {"folded, common first letter", "them quick", {"Them Quick", false, false, false, kAvx2}},
    {"exact, common first letter, backward",
     "them quick",
     {"them quick", true, false, true, kAvx2}},
    {"folded, common first letter, backward",
     "them quick",
     {"Them Quick", false, false, true, kAvx2}},
    {"exact, frequent letters only", "these other", {"these other", true, false, false, kAvx2}},
    {"folded, frequent letters only", "these other", {"These Other", false, false, false, kAvx2}},
    {"exact, rare first letter", "zebra", {"zebra", true, false, false, kAvx2}},
    {"folded, rare first letter, backward", "zebra", {"Zebra", false, false, true, kAvx2}},
    {"exact, common first letter, portable",
     "them quick",
     {"them quick", true, false, false, kPortable}},
    {"folded, common first letter, portable",
     "them quick",
     {"Them Quick", false, false, false, kPortable}},
    {"folded, common first letter, backward, portable",
     "them quick",
     {"Them Quick", false, false, true, kPortable}},
};

const SearchCase kRegexCases[] = {
    {"[0-9]@x", false, true, false, kAvx2},
    {"[0-9]@x", false, true, true, kAvx2},
    {"[0-9]@[xz]", false, true, false, kAvx2},
};

// A line of the longest length and patterns whose closures compete for its characters.
constexpr std::size_t kLongLine = MAX_LINE_LENGTH;

std::string Repeat(const char* piece, std::size_t length) {
    std::string text;
    while (text.size() < length) {
        text += piece;
    }
    text.resize(length);
    return text;
}

struct Pathological {
    std::string pattern;
    std::string line;
    bool backward;
};

std::vector<Pathological> PathologicalCases() {
    std::string as(kLongLine, 'a');
    std::string abs = Repeat("ab", kLongLine);
    std::string digits = Repeat("0123456789", kLongLine);
    std::string stars(125, '*');
    return {
        {"*a*b*c", as, false},
        {"*a*b*c", abs, false},
        {"*a*b*c", as, true},
        {"a@a@a@a@a@a@a@a@[bc]", as, false},
        {"a@a@a@a@a@a@a@a@[bc]", as, true},
        {"[0-9]@[xy]", digits, false},
        {"?@?@?@?@?@?@[xy]", digits, false},
        {stars + "[xy]", abs, false},
        {stars + "[xy]", abs, true},
        {"%" + stars + "[xy]", abs, false},
    };
}

// One search of the line as the editor runs it: compile, prepare, search.
void SearchLongLine(benchmark::State& state, const Pathological& test) {
    SelectSearchKernel(kAvx2);
    std::vector<char> text(test.line.begin(), test.line.end());
    Line line{0,
              static_cast<DWORD>(text.size()),
              static_cast<DWORD>(text.size()),
              nullptr,
              nullptr,
              text.data()};
    for (auto _ : state) {
        BYTE compiled[COMPILED_PATTERN_SIZE];
        PatternMatcher matcher;
        if (CompilePattern(test.pattern.c_str(), compiled) == 0 ||
            !matcher.Build(compiled, false)) {
            state.SkipWithError("the pattern does not compile");
            break;
        }
        bool found = test.backward ? SearchLineBackward(&line, line.length, matcher)
                                   : SearchLineForward(&line, 0, matcher);
        benchmark::DoNotOptimize(found);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

// Keeps the processor time per iteration of each benchmark (in milliseconds), to print the
// ratios at the end: the searches run on one thread, and on a shared machine the processor
// time is what the wall clock would show without the other programs.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.iterations > 0 && !run.error_occurred) {
                milliseconds[run.run_name.function_name] = run.GetAdjustedCPUTime();
            }
        }
    }
    std::map<std::string, double> milliseconds;
};

std::string SearchName(const SearchCase& search) {
    return std::string(search.regex ? "regex " : "plain ") + search.pattern +
           (search.matchCase ? " exact" : " folded") + (search.backward ? " backward" : "") + " " +
           SearchKernelName(search.kernel);
}

void Register() {
    auto unit = [](benchmark::internal::Benchmark* b) {
        b->Unit(benchmark::kMillisecond)->MinTime(0.5);
    };
    for (const char* pattern : {"them quick", "these other", "zebra"}) {
        unit(benchmark::RegisterBenchmark((std::string("memmem ") + pattern).c_str(), Memmem,
                                          pattern));
    }
    for (const Plain& plain : kPlainCases) {
        unit(benchmark::RegisterBenchmark(SearchName(plain.search).c_str(), Search, plain.search));
    }
    for (const SearchCase& regex : kRegexCases) {
        unit(benchmark::RegisterBenchmark(SearchName(regex).c_str(), Search, regex));
    }
    static const std::vector<Pathological> pathological = PathologicalCases();
    for (std::size_t i = 0; i < pathological.size(); ++i) {
        std::string name = "long line " + std::to_string(i) + ": " +
                           pathological[i].pattern.substr(0, 24) +
                           (pathological[i].backward ? " backward" : "");
        unit(benchmark::RegisterBenchmark(name.c_str(), SearchLongLine, pathological[i]));
    }
}

void PrintResults(const RatioReporter& reporter) {
    auto ratio = [&](const std::string& baseline, const std::string& ours) {
        auto b = reporter.milliseconds.find(baseline);
        auto o = reporter.milliseconds.find(ours);
        return b != reporter.milliseconds.end() && o != reporter.milliseconds.end() && o->second > 0
                   ? b->second / o->second
                   : 0.0;
    };
    std::printf("\nkernel chosen for this processor: %s\n", SearchKernelName(ActiveSearchKernel()));
    for (const Plain& plain : kPlainCases) {
        std::printf("plain search, %-46s vs memmem: ratio %.2f (target >= 0.5)\n", plain.name,
                    ratio(std::string("memmem ") + plain.memmemPattern, SearchName(plain.search)));
    }
    std::string plainExact = SearchName(kPlainCases[0].search);
    for (const SearchCase& regex : kRegexCases) {
        std::printf(
            "regular expression %-22s vs plain search (exact, common): ratio %.2f%s\n",
            SearchName(regex).substr(6).c_str(), ratio(plainExact, SearchName(regex)),
            regex.backward || std::strcmp(regex.pattern, "[0-9]@x") != 0 ? "" : " (target >= 0.1)");
    }
    double slowest = 0;
    std::string slowestName;
    for (const auto& [name, milliseconds] : reporter.milliseconds) {
        double rate = static_cast<double>(kLongLine) / milliseconds / 1e3;
        if (name.rfind("long line", 0) == 0 && (slowestName.empty() || rate < slowest)) {
            slowest = rate;
            slowestName = name;
        }
    }
    std::printf("slowest pathological pattern (%s): %.1f MB/s (target >= 10)\n",
                slowestName.c_str(), slowest);
}

}  // namespace

int main(int argc, char** argv) {
    SearchKernel chosen = ActiveSearchKernel();
    benchmark::Initialize(&argc, argv);
    Register();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    SelectSearchKernel(chosen);
    PrintResults(reporter);
    return 0;
}
