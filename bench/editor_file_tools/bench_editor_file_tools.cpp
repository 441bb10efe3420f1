// Find files containing over a tree of 10,000 text files (100 folders of 100 files of about
// 4 KB, one file in a hundred holding the pattern) against `grep -rl` with the same pattern
// over the same tree, with each search kernel; and a compare stepped through every
// difference of two 200,000-line files (one changed character every 100 lines), opening both
// files included, against `cmp -l | wc -l` over the same pair. The files are made in a
// temporary folder. Wall-clock times, since the baselines run as other processes. Prints the
// ratios (baseline time / our time). Target for find files: at least 0.5 of grep (1.0 the
// moonshot).
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "editor/core/edit_window.h"
#include "editor/core/editor_paths.h"
#include "editor/core/file_compare.h"
#include "editor/core/file_content_search.h"
#include "editor/core/file_tools_ui.h"
#include "editor/core/plain_search.h"

extern char** environ;

namespace {

constexpr int kFolders = 100;
constexpr int kFilesPerFolder = 100;
constexpr int kCompareLines = 200000;
constexpr const char* kPattern = "quartz needle";

const char* const kWords[] = {"the", "of",   "and",  "to",    "in",    "is",   "it",   "was",
                              "for", "on",   "are",  "as",    "with",  "his",  "they", "at",
                              "be",  "this", "from", "have",  "or",    "by",   "one",  "had",
                              "not", "but",  "what", "all",   "were",  "when", "we",   "there",
                              "can", "an",   "your", "which", "their", "said", "if",   "do"};

std::string Line(std::size_t number) {
    std::string row = std::to_string(number) + " ";
    std::size_t word = number * 7;
    while (row.size() < 70) {
        row += kWords[word++ % (sizeof kWords / sizeof kWords[0])];
        row += ' ';
    }
    return row + "\r\n";
}

// The temporary folder with the tree and the two files to compare, removed at the end.
class Corpus {
public:
    Corpus() {
        char pattern[] = "/tmp/bench-file-tools-XXXXXX";
        if (mkdtemp(pattern) == nullptr) {
            std::perror("mkdtemp");
            std::exit(1);
        }
        root_ = pattern;
        MakeTree();
        MakeComparePair();
    }
    ~Corpus() { std::system(("rm -rf '" + root_ + "'").c_str()); }

    const std::string& Root() const { return root_; }
    std::string Tree() const { return root_ + "/tree"; }
    const std::string& FileMasks() const { return fileMasks_; }
    std::string First() const { return root_ + "/first.txt"; }
    std::string Second() const { return root_ + "/second.txt"; }
    int Matching() const { return matching_; }

private:
    void MakeTree() {
        mkdir(Tree().c_str(), 0700);
        std::size_t line = 0;
        for (int d = 0; d < kFolders; ++d) {
            std::string folder = Tree() + "/d" + std::to_string(d);
            mkdir(folder.c_str(), 0700);
            fileMasks_ += folder + "/*.txt ";
            for (int f = 0; f < kFilesPerFolder; ++f) {
                std::string text;
                for (int i = 0; i < 56; ++i) {
                    text += Line(line++);
                }
                if ((d * kFilesPerFolder + f) % 100 == 37) {
                    text.insert(text.size() / 2, std::string(kPattern) + " here\r\n");
                    ++matching_;
                }
                std::ofstream(folder + "/f" + std::to_string(f) + ".txt", std::ios::binary) << text;
            }
        }
    }
    void MakeComparePair() {
        std::ofstream first(First(), std::ios::binary);
        std::ofstream second(Second(), std::ios::binary);
        for (int i = 0; i < kCompareLines; ++i) {
            std::string line = Line(static_cast<std::size_t>(i));
            first << line;
            if (i % 100 == 50) {
                line[line.size() - 4] = '#';
            }
            second << line;
        }
    }

    std::string root_;
    std::string fileMasks_;
    int matching_ = 0;
};

Corpus& TheCorpus() {
    static Corpus corpus;
    return corpus;
}

// Processor seconds (user and system) of the children waited for so far.
double ChildSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Runs a shell command line with its output thrown away; returns its exit status.
int RunQuietly(const std::string& command) {
    std::string line = command + " >/dev/null";
    const char* arguments[] = {"/bin/sh", "-c", line.c_str(), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, "/bin/sh", nullptr, nullptr, const_cast<char**>(arguments), environ) !=
        0) {
        return -1;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class CountingProgress : public FileSearchProgress {
public:
    void Searching(const std::string&) override { ++searched; }
    bool Found(const std::string&) override {
        ++found;
        return true;
    }
    bool Stopped() override { return false; }
    int searched = 0;
    int found = 0;
};

void FindFiles(benchmark::State& state, SearchKernel kernel) {
    Corpus& corpus = TheCorpus();
    if (!SelectSearchKernel(kernel)) {
        state.SkipWithError("the processor cannot run this kernel");
        return;
    }
    FileContentSearch search;
    search.Prepare(kPattern, true, false);
    for (auto _ : state) {
        CountingProgress progress;
        SearchFileMasks(corpus.FileMasks(), search, progress);
        if (progress.found != corpus.Matching() ||
            progress.searched != kFolders * kFilesPerFolder) {
            state.SkipWithError("the search did not find what it should");
            break;
        }
    }
}

void GrepFiles(benchmark::State& state) {
    std::string command = "grep -rl '" + std::string(kPattern) + "' '" + TheCorpus().Tree() + "'";
    double before = ChildSeconds();
    for (auto _ : state) {
        if (RunQuietly(command) != 0) {
            state.SkipWithError("grep failed");
            break;
        }
    }
    state.counters["child_cpu_ms"] = benchmark::Counter((ChildSeconds() - before) * 1e3 /
                                                        static_cast<double>(state.iterations()));
}

void CloseWindows() {
    EndCompare();
    while (pwinFirst != nullptr) {
        FreeEditWindow(pwinFirst);
    }
    SetCurrentWindow(nullptr);
}

void CompareSteps(benchmark::State& state) {
    Corpus& corpus = TheCorpus();
    ScriptedFileToolsUi tools;
    SetFileToolsUi(&tools);
    std::size_t steps = 0;
    for (auto _ : state) {
        tools.differenceTexts.clear();
        CompareFiles(corpus.First().c_str(), corpus.Second().c_str());
        while (compareState.active) {
            CompareNextStep();
        }
        steps = tools.differenceTexts.size();
        CloseWindows();
    }
    SetFileToolsUi(nullptr);
    if (steps != 2u * (kCompareLines / 100)) {
        state.SkipWithError("the compare did not stop at every difference and match");
    }
    state.counters["steps"] = static_cast<double>(steps);
}

void CmpDifferences(benchmark::State& state) {
    Corpus& corpus = TheCorpus();
    std::string command = "cmp -l '" + corpus.First() + "' '" + corpus.Second() + "' | wc -l";
    double before = ChildSeconds();
    for (auto _ : state) {
        RunQuietly(command);
    }
    state.counters["child_cpu_ms"] = benchmark::Counter((ChildSeconds() - before) * 1e3 /
                                                        static_cast<double>(state.iterations()));
}

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.iterations > 0 && !run.error_occurred) {
                const std::string& name = run.run_name.function_name;
                milliseconds[name] = run.GetAdjustedRealTime();
                auto child = run.counters.find("child_cpu_ms");
                processor[name] =
                    child != run.counters.end() ? child->second.value : run.GetAdjustedCPUTime();
            }
        }
    }
    // Baseline time / our time, by the wall clock or by processor time (the baseline's
    // processes included), which other programs on a shared machine disturb less.
    double Ratio(const std::string& baseline, const std::string& ours, bool byProcessor) const {
        const std::map<std::string, double>& times = byProcessor ? processor : milliseconds;
        auto b = times.find(baseline);
        auto o = times.find(ours);
        return b != times.end() && o != times.end() && o->second > 0 ? b->second / o->second : 0.0;
    }
    std::map<std::string, double> milliseconds;
    std::map<std::string, double> processor;
};

}  // namespace

int main(int argc, char** argv) {
    SearchKernel chosen = ActiveSearchKernel();
    benchmark::Initialize(&argc, argv);
    TheCorpus();
    auto unit = [](benchmark::internal::Benchmark* b) {
        b->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
    };
    unit(benchmark::RegisterBenchmark("grep -rl", GrepFiles));
    unit(benchmark::RegisterBenchmark("find files avx2", FindFiles, SearchKernel::Avx2));
    unit(benchmark::RegisterBenchmark("find files portable", FindFiles, SearchKernel::Portable));
    unit(benchmark::RegisterBenchmark("cmp -l | wc -l", CmpDifferences));
    unit(benchmark::RegisterBenchmark("compare steps", CompareSteps));
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    SelectSearchKernel(chosen);
    std::printf("\nkernel chosen for this processor: %s\n", SearchKernelName(chosen));
    for (const char* kernel : {"avx2", "portable"}) {
        std::string ours = std::string("find files ") + kernel;
        std::printf(
            "find files (%s) vs grep -rl: ratio %.2f wall clock, %.2f processor time "
            "(target >= 0.5, moonshot 1.0)\n",
            kernel, reporter.Ratio("grep -rl", ours, false),
            reporter.Ratio("grep -rl", ours, true));
    }
    std::printf(
        "compare stepped through %d differences (kernel-independent) vs cmp -l | wc -l: "
        "ratio %.2f wall clock, %.2f processor time\n",
        kCompareLines / 100, reporter.Ratio("cmp -l | wc -l", "compare steps", false),
        reporter.Ratio("cmp -l | wc -l", "compare steps", true));
    return 0;
}
