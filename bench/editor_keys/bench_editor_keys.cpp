// fvedit32's document window on the Qt backend (offscreen platform) against Qt's own
// QPlainTextEdit, with the same text and the same font, in the same run:
// - keystrokes from the event queue to the painted window on a 100,000-line buffer: a real Qt
//   key event is posted to the window and the keystroke counts as done once its paint has
//   happened (for the editor: Qt key event -> windowing layer -> accelerators and commands ->
//   display update -> paint);
// - page-down steps through the same buffer;
// - opening a 64 MiB file until its first page is painted (for Qt: reading the file and
//   QPlainTextEdit::setPlainText).
// Prints the speed ratios (Qt's time / the editor's time); the targets are at least 1.0 for
// keys and page down and at least 2.0 for opening.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextBlock>

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "editor/core/buffer.h"
#include "editor/core/documents.h"
#include "editor/core/editor_paths.h"
#include "editor/core/editor_settings.h"
#include "editor/ui/editor_fonts.h"
#include "editor/ui/startup.h"
#include "editor/ui/ui_state.h"
#include "editor/ui/window_procedures.h"
#include "platform/ui/qt/qt_backend.h"
#include "platform/ui/qt/qt_surface.h"
#include "platform/ui/qt/qt_widgets.h"
#include "platform/ui/qt/ui_start.h"
#include "platform/ui/resources.h"

namespace {

using namespace farvane::ui;

constexpr int kKeyBufferLines = 100000;
constexpr std::size_t kBigFileSize = 64u << 20;
constexpr int kWindowWidth = 1024;
constexpr int kWindowHeight = 768;

std::string Folder() {
    static std::string folder = [] {
        const char* base = std::getenv("TMPDIR");
        std::string pattern =
            std::string(base != nullptr ? base : "/tmp") + "/fvedit-keys-bench-XXXXXX";
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

std::string KeysPath() {
    return Folder() + "/keys.txt";
}
std::string BigPath() {
    return Folder() + "/big.txt";
}

// Lines of 20 to 79 printable characters, numbered so that no two are alike.
std::string MakeText(std::size_t minimumSize, int minimumLines) {
    std::string text;
    for (int line = 0; text.size() < minimumSize || line < minimumLines; ++line) {
        char number[16];
        std::snprintf(number, sizeof number, "%08d ", line);
        text += number;
        std::size_t length = 11 + static_cast<std::size_t>(line * 7 % 60);
        for (std::size_t i = 0; i < length; ++i) {
            text += static_cast<char>('a' + (line + i) % 26);
        }
        text += '\n';
    }
    return text;
}

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
}

// Counts, for one top-level window, the key events its widgets receive and the paints that
// follow the last key press (of one widget only, when `paintTarget` is set).
class Watch : public QObject {
public:
    explicit Watch(QWidget* window) : window_(window) { qApp->installEventFilter(this); }
    ~Watch() override { qApp->removeEventFilter(this); }
    void reset() { presses = releases = paints = 0; }
    bool eventFilter(QObject* object, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(object);
        if (widget == nullptr || widget->window() != window_) {
            return false;
        }
        switch (event->type()) {
            case QEvent::KeyPress:
                ++presses;
                paints = 0;
                break;
            case QEvent::KeyRelease:
                ++releases;
                break;
            case QEvent::Paint:
                if (paintTarget == nullptr || paintTarget == object) {
                    ++paints;
                }
                break;
            default:
                break;
        }
        return false;
    }
    int presses = 0;
    int releases = 0;
    int paints = 0;
    QObject* paintTarget = nullptr;

private:
    QWidget* window_;
};

struct Keystroke {
    int key;
    QString text;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
};

// The typing mix: six letters, a backspace and a cursor down (which scrolls once the caret
// reaches the bottom row).
const std::vector<Keystroke>& TypingMix() {
    static const std::vector<Keystroke> mix = {
        {Qt::Key_A, "a"}, {Qt::Key_B, "b"}, {Qt::Key_C, "c"},          {Qt::Key_D, "d"},
        {Qt::Key_E, "e"}, {Qt::Key_F, "f"}, {Qt::Key_Backspace, "\b"}, {Qt::Key_Down, ""}};
    return mix;
}

void PostKeystroke(QWidget* target, const Keystroke& stroke) {
    QCoreApplication::postEvent(
        target, new QKeyEvent(QEvent::KeyPress, stroke.key, stroke.modifiers, stroke.text));
    QCoreApplication::postEvent(
        target, new QKeyEvent(QEvent::KeyRelease, stroke.key, stroke.modifiers, stroke.text));
}

// --- the editor ---------------------------------------------------------------------------

bool EditorMessageWaiting() {
    MSG msg;
    return PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) != 0;
}

// One turn of the program's loop: a message of the editor if one waits, else Qt's events.
void DriveEditor() {
    if (EditorMessageWaiting()) {
        fvedit::MessageLoopStep();
    } else {
        QCoreApplication::processEvents();
    }
}

void DriveEditorUntilIdle() {
    for (int i = 0; i < 100; ++i) {
        QCoreApplication::processEvents();
        while (EditorMessageWaiting()) {
            fvedit::MessageLoopStep();
        }
    }
}

QWidget* EditorWindowWidget() {
    return qt::CurrentQtBackend()->widgetOf(fvedit::ew.frame);
}

QWidget* DocumentCanvas(HWND document) {
    qt::Peer* peer = qt::CurrentQtBackend()->peerOf(document);
    return peer != nullptr ? peer->canvas.data() : nullptr;
}

// The keystroke is done when its key events were delivered, the editor has no message left
// and the window was painted after the key press.
void EditorKeystroke(Watch& watch, QWidget* target, const Keystroke& stroke) {
    watch.reset();
    PostKeystroke(target, stroke);
    while (watch.releases == 0 || watch.paints == 0 || EditorMessageWaiting()) {
        DriveEditor();
    }
}

void StartEditorOnKeysFile() {
    HINSTANCE instance = RegisterResourceModule("fvedit32");
    std::string commandLine = KeysPath() + " /g" + std::to_string(kKeyBufferLines / 2);
    if (!fvedit::StartEditor(instance, commandLine.c_str(), SW_SHOWNORMAL)) {
        std::fprintf(stderr, "the editor did not start\n");
        std::exit(1);
    }
    SetWindowPos(fvedit::ew.frame, nullptr, 0, 0, kWindowWidth, kWindowHeight, SWP_NOZORDER);
    DriveEditorUntilIdle();
}

QFont EditorFont() {
    LOGFONTA logFont{};
    GetObjectA(fvedit::ew.editorFont, sizeof logFont, &logFont);
    return qt::FontFor(logFont, fvedit::StockFontOf(editorSettings.screenFont));
}

void BM_EditorKeys(benchmark::State& state) {
    QWidget* target = DocumentCanvas(fvedit::DocumentWindowOf(pwinCurrent));
    Watch watch(EditorWindowWidget());
    std::size_t next = 0;
    for (auto _ : state) {
        EditorKeystroke(watch, target, TypingMix()[next++ % TypingMix().size()]);
    }
}

void BM_EditorPageDown(benchmark::State& state) {
    QWidget* target = DocumentCanvas(fvedit::DocumentWindowOf(pwinCurrent));
    Watch watch(EditorWindowWidget());
    const Keystroke pageDown{Qt::Key_PageDown, ""};
    const Keystroke top{Qt::Key_Home, "", Qt::ControlModifier};
    for (auto _ : state) {
        if (pwinCurrent->dot.lpln->number + 2 * pwinCurrent->rows >= pbufCurrent->lineCount) {
            state.PauseTiming();
            EditorKeystroke(watch, target, top);
            state.ResumeTiming();
        }
        EditorKeystroke(watch, target, pageDown);
    }
}

void BM_EditorOpen(benchmark::State& state) {
    Watch watch(EditorWindowWidget());
    for (auto _ : state) {
        watch.reset();
        if (!OpenDocument(BigPath().c_str(), 0, 0, true)) {
            state.SkipWithError("the big file did not open");
            break;
        }
        // The first page is painted when the new window's own widget was.
        watch.paintTarget = DocumentCanvas(fvedit::DocumentWindowOf(pwinCurrent));
        while (watch.paints == 0 || EditorMessageWaiting()) {
            DriveEditor();
        }
        state.PauseTiming();
        watch.paintTarget = nullptr;
        SendMessageA(fvedit::ew.client, WM_MDIDESTROY,
                     reinterpret_cast<WPARAM>(fvedit::DocumentWindowOf(pwinCurrent)), 0);
        DriveEditorUntilIdle();
        state.ResumeTiming();
    }
}

// --- QPlainTextEdit -------------------------------------------------------------------------

struct PlainEditor {
    QPlainTextEdit edit;
    void show(const QSize& size) {
        edit.setFont(EditorFont());
        edit.setLineWrapMode(QPlainTextEdit::NoWrap);
        edit.resize(size);
        edit.show();
        ProcessUntilIdle();
    }
    static void ProcessUntilIdle() {
        for (int i = 0; i < 20; ++i) {
            QCoreApplication::sendPostedEvents();
            QCoreApplication::processEvents();
        }
    }
};

PlainEditor* plainKeys = nullptr;

void PlainKeystroke(Watch& watch, QWidget* target, const Keystroke& stroke) {
    watch.reset();
    PostKeystroke(target, stroke);
    while (watch.releases == 0 || watch.paints == 0) {
        QCoreApplication::processEvents();
    }
}

void MoveToBlock(QPlainTextEdit& edit, int block) {
    QTextCursor cursor(edit.document()->findBlockByNumber(block));
    edit.setTextCursor(cursor);
    edit.centerCursor();
    PlainEditor::ProcessUntilIdle();
}

void BM_PlainTextKeys(benchmark::State& state) {
    Watch watch(&plainKeys->edit);
    std::size_t next = 0;
    for (auto _ : state) {
        PlainKeystroke(watch, &plainKeys->edit, TypingMix()[next++ % TypingMix().size()]);
    }
}

void BM_PlainTextPageDown(benchmark::State& state) {
    QPlainTextEdit& edit = plainKeys->edit;
    Watch watch(&edit);
    int rows = edit.viewport()->height() / edit.fontMetrics().lineSpacing();
    const Keystroke pageDown{Qt::Key_PageDown, ""};
    const Keystroke top{Qt::Key_Home, "", Qt::ControlModifier};
    for (auto _ : state) {
        if (edit.textCursor().blockNumber() + 2 * rows >= edit.document()->blockCount()) {
            state.PauseTiming();
            PlainKeystroke(watch, &edit, top);
            state.ResumeTiming();
        }
        PlainKeystroke(watch, &edit, pageDown);
    }
}

void BM_PlainTextOpen(benchmark::State& state) {
    PlainEditor plain;
    plain.show(plainKeys->edit.size());
    Watch watch(&plain.edit);
    for (auto _ : state) {
        watch.reset();
        QFile file(QString::fromStdString(BigPath()));
        if (!file.open(QIODevice::ReadOnly)) {
            state.SkipWithError("the big file did not open");
            break;
        }
        QByteArray bytes = file.readAll();
        plain.edit.setPlainText(QString::fromLatin1(bytes));
        while (watch.paints == 0) {
            QCoreApplication::processEvents();
        }
        state.PauseTiming();
        plain.edit.clear();
        PlainEditor::ProcessUntilIdle();
        state.ResumeTiming();
    }
}

BENCHMARK(BM_EditorKeys)->Unit(benchmark::kMicrosecond)->MinTime(2.0);
BENCHMARK(BM_PlainTextKeys)->Unit(benchmark::kMicrosecond)->MinTime(2.0);
BENCHMARK(BM_EditorPageDown)->Unit(benchmark::kMicrosecond)->MinTime(2.0);
BENCHMARK(BM_PlainTextPageDown)->Unit(benchmark::kMicrosecond)->MinTime(2.0);
BENCHMARK(BM_EditorOpen)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_PlainTextOpen)->Unit(benchmark::kMillisecond)->Iterations(5);

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

void SetUpEnvironment() {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("FARVANE_UI", "qt", 1);
    for (const char* sub : {"/state", "/run", "/win"}) {
        mkdir((Folder() + sub).c_str(), 0700);
    }
    setenv("FARVANE_RUNTIME_DIR", (Folder() + "/run").c_str(), 1);
    setenv("FARVANE_WINDIR", (Folder() + "/win").c_str(), 1);
    SetStateFolder((Folder() + "/state").c_str());
}

void RemoveFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(Folder(), ignored);
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    SetUpEnvironment();
    std::string keysText = MakeText(0, kKeyBufferLines);
    WriteText(KeysPath(), keysText);
    WriteText(BigPath(), MakeText(kBigFileSize, 0));
    if (StartUi(argc, argv, false) != UiBackendKind::Qt) {
        std::fprintf(stderr, "the Qt backend did not start\n");
        return 1;
    }
    StartEditorOnKeysFile();
    PlainEditor plain;
    plain.edit.setPlainText(
        QString::fromLatin1(keysText.data(), static_cast<qsizetype>(keysText.size())));
    QWidget* canvas = DocumentCanvas(fvedit::DocumentWindowOf(pwinCurrent));
    plain.show(canvas != nullptr ? canvas->size() : QSize(kWindowWidth, kWindowHeight));
    MoveToBlock(plain.edit, kKeyBufferLines / 2 - 1);
    plainKeys = &plain;

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    qt::TextKernel kernel = qt::LastTextKernel();
    fvedit::ShutDownEditor();
    RemoveFolder();
    auto ratio = [&](const char* baseline, const char* ours) {
        auto b = reporter.seconds.find(baseline);
        auto o = reporter.seconds.find(ours);
        return b != reporter.seconds.end() && o != reporter.seconds.end() && o->second > 0
                   ? b->second / o->second
                   : 0.0;
    };
    std::printf("\ntext kernel of the editor's rows: %s\n",
                kernel == qt::TextKernel::GlyphGrid    ? "glyph runs on the cell grid (fast)"
                : kernel == qt::TextKernel::CellByCell ? "each character laid out (portable)"
                                                       : "Qt layout of the whole run");
    std::printf("keystroke to paint vs QPlainTextEdit: ratio %.2f (target >= 1.0)\n",
                ratio("BM_PlainTextKeys", "BM_EditorKeys"));
    std::printf("page down to paint vs QPlainTextEdit: ratio %.2f (target >= 1.0)\n",
                ratio("BM_PlainTextPageDown", "BM_EditorPageDown"));
    std::printf("open 64 MiB to first page vs setPlainText: ratio %.2f (target >= 2.0)\n",
                ratio("BM_PlainTextOpen", "BM_EditorOpen"));
    return 0;
}
