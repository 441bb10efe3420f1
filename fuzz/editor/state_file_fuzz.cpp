// Feeds arbitrary bytes to the saved state reader as the state file, checks the settings and
// histories it leaves, reopens the recorded session and writes the state out again.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "editor/core/buffer.h"
#include "editor/core/edit_window.h"
#include "editor/core/editor_paths.h"
#include "editor/core/editor_settings.h"
#include "editor/core/headless_ui.h"
#include "editor/core/history.h"
#include "editor/core/recent_files.h"
#include "editor/core/state_file.h"

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

bool Terminated(const char* text, std::size_t size) {
    return std::memchr(text, '\0', size) != nullptr;
}

const std::string& StatePath() {
    static std::string path;
    if (path.empty()) {
        char folder[] = "/tmp/state-file-fuzz-XXXXXX";
        Check(mkdtemp(folder) != nullptr);
        SetStateFolder(folder);
        SetEditorUserId("F");
        char name[256];
        Check(StateFileName(name, sizeof name) == 1);
        path = name;
    }
    return path;
}

void CloseDocuments() {
    while (pwinFirst != nullptr) {
        FreeEditWindow(pwinFirst);
    }
    while (pbufFirst != nullptr) {
        DestroyBuffer(pbufFirst);
    }
    SetCurrentWindow(nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static HeadlessUi ui;
    SetEditorUi(&ui);
    ui.Clear();
    const std::string& path = StatePath();
    FILE* file = std::fopen(path.c_str(), "wb");
    Check(file != nullptr);
    Check(std::fwrite(data, 1, size, file) == size);
    std::fclose(file);

    RestoreDefaults();
    const EditorSettings& s = editorSettings;
    Check(s.tabSize >= 1 && s.tabSize <= 16);
    Check(s.rightMargin >= 32 && s.rightMargin <= 512);
    Check(s.undoLevels >= 0 && s.undoLevels <= 300);
    Check(s.screenFont >= 0 && s.screenFont <= 2 && s.cursorShape >= 0 && s.cursorShape <= 2);
    Check(Terminated(s.keyFileName, sizeof s.keyFileName));
    Check(Terminated(s.printHeader, sizeof s.printHeader));
    Check(Terminated(s.printFooter, sizeof s.printFooter));
    Check(Terminated(s.printerFontFace, sizeof s.printerFontFace));
    for (const auto& entry : recentFiles) {
        Check(Terminated(entry, RECENT_FILE_SIZE));
    }
    for (const HistoryList& list : historyLists) {
        for (const auto& entry : list.entries) {
            Check(Terminated(entry, HISTORY_ENTRY_SIZE));
        }
    }
    RestoreFiles();
    for (EditWindow* window = pwinFirst; window != nullptr; window = window->next) {
        Check(window->buffer->tabSize >= 1 && window->buffer->tabSize <= 16);
        Check(window->dot.offset <= window->dot.lpln->length);
        Check(window->mark.offset <= window->mark.lpln->length);
    }
    Check(SaveEditorState() == 1);
    CloseDocuments();
    return 0;
}
