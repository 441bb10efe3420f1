// Reading and saving a 64 MiB text file of 80-character lines with the editor's text core,
// against the same work done plainly in the same run: reading the file and finding its line
// ends with memchr, and writing the same bytes with write(2). Prints the speed ratios
// (baseline time / our time); the targets are at least 0.5 for both.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "editor/core/buffer.h"
#include "editor/core/editor_settings.h"
#include "editor/core/file_read.h"
#include "editor/core/file_save.h"

namespace {

constexpr std::size_t kFileSize = 64u << 20;
constexpr std::size_t kLineLength = 80;

std::string Folder() {
    static std::string folder = [] {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base != nullptr ? base : "/tmp") + "/fvedit-bench-XXXXXX";
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        if (mkdtemp(name.data()) == nullptr) {
            std::perror("mkdtemp");
            std::exit(1);
        }
        return std::string(name.data());
    }();
    return folder;
}

std::string InputPath() {
    return Folder() + "/input.txt";
}

// The file's bytes: lines of 80 characters, each ended by carriage return and line feed.
const std::string& FileBytes() {
    static std::string bytes = [] {
        std::string text;
        text.reserve(kFileSize + kLineLength + 2);
        for (std::size_t line = 0; text.size() < kFileSize; ++line) {
            std::string row(kLineLength, 'a' + static_cast<char>(line % 26));
            std::snprintf(row.data(), row.size(), "%08zu", line);
            row[8] = ' ';
            text += row;
            text += "\r\n";
        }
        return text;
    }();
    return bytes;
}

void MakeInput() {
    const std::string& bytes = FileBytes();
    int fd = open(InputPath().c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
        std::perror("write input");
        std::exit(1);
    }
    close(fd);
}

void BM_ReadFile(benchmark::State& state) {
    for (auto _ : state) {
        Buffer* buffer = AllocateBuffer();
        if (!ReadFile(buffer, InputPath().c_str())) {
            state.SkipWithError("ReadFile failed");
        }
        benchmark::DoNotOptimize(buffer->lineCount);
        DestroyBuffer(buffer);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * FileBytes().size()));
}

void BM_ReadMemchr(benchmark::State& state) {
    for (auto _ : state) {
        int fd = open(InputPath().c_str(), O_RDONLY);
        struct stat info;
        fstat(fd, &info);
        std::size_t size = static_cast<std::size_t>(info.st_size);
        char* image = static_cast<char*>(std::malloc(size));
        std::size_t done = 0;
        while (done < size) {
            ssize_t n = read(fd, image + done, size - done);
            if (n <= 0) {
                break;
            }
            done += static_cast<std::size_t>(n);
        }
        close(fd);
        std::size_t lines = 0;
        const char* p = image;
        const char* end = image + done;
        while (const char* found = static_cast<const char*>(std::memchr(p, '\n', end - p))) {
            ++lines;
            p = found + 1;
        }
        benchmark::DoNotOptimize(lines);
        std::free(image);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * FileBytes().size()));
}

void BM_SaveBuffer(benchmark::State& state) {
    std::string path = Folder() + "/saved.txt";
    MakeInput();
    Buffer* buffer = AllocateBuffer();
    ReadFile(buffer, InputPath().c_str());
    std::snprintf(buffer->pathName, sizeof buffer->pathName, "%s", path.c_str());
    for (auto _ : state) {
        buffer->state |= BS_MODIFIED;
        if (!SaveBuffer(buffer)) {
            state.SkipWithError("SaveBuffer failed");
        }
    }
    DestroyBuffer(buffer);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * FileBytes().size()));
}

void BM_WriteBaseline(benchmark::State& state) {
    std::string path = Folder() + "/written.txt";
    const std::string& bytes = FileBytes();
    for (auto _ : state) {
        int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        std::size_t done = 0;
        while (done < bytes.size()) {
            ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
            if (n <= 0) {
                break;
            }
            done += static_cast<std::size_t>(n);
        }
        close(fd);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

BENCHMARK(BM_ReadFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ReadMemchr)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_SaveBuffer)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_WriteBaseline)->Unit(benchmark::kMillisecond)->MinTime(2.0);

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

void RemoveFolder() {
    for (const char* name : {"/input.txt", "/saved.txt", "/saved.bak", "/written.txt"}) {
        unlink((Folder() + name).c_str());
    }
    rmdir(Folder().c_str());
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    editorSettings.makeBackups = 0;
    MakeInput();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    RemoveFolder();
    auto ratio = [&](const char* baseline, const char* ours) {
        auto b = reporter.seconds.find(baseline);
        auto o = reporter.seconds.find(ours);
        return b != reporter.seconds.end() && o != reporter.seconds.end() && o->second > 0
                   ? b->second / o->second
                   : 0.0;
    };
    std::printf("\nReadFile   vs read + memchr: ratio %.2f (target >= 0.5)\n",
                ratio("BM_ReadMemchr", "BM_ReadFile"));
    std::printf("SaveBuffer vs write(2):      ratio %.2f (target >= 0.5)\n",
                ratio("BM_WriteBaseline", "BM_SaveBuffer"));
    return 0;
}
