#include "window_fixture.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "editor/core/command_state.h"
#include "editor/core/documents.h"
#include "editor/core/editor_paths.h"
#include "editor/core/editor_settings.h"
#include "editor/core/macro.h"
#include "editor/core/recent_files.h"
#include "editor/core/state_file.h"
#include "editor/ui/startup.h"
#include "editor/ui/status_text.h"
#include "editor/view/view_metrics.h"

using namespace farvane::ui;

namespace {

void RemoveTree(const std::string& path) {
    if (DIR* dir = opendir(path.c_str())) {
        while (dirent* entry = readdir(dir)) {
            std::string name = entry->d_name;
            if (name != "." && name != "..") {
                RemoveTree(path + "/" + name);
            }
        }
        closedir(dir);
        rmdir(path.c_str());
    } else {
        unlink(path.c_str());
    }
}

}  // namespace

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void EditorWindowTest::SetUp() {
    backend = &UseHeadlessBackend();
    char pattern[] = "/tmp/fvedit-window-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder_ = pattern;
    for (const char* sub : {"/state", "/run", "/win"}) {
        mkdir((folder_ + sub).c_str(), 0700);
    }
    setenv("FARVANE_RUNTIME_DIR", (folder_ + "/run").c_str(), 1);
    setenv("FARVANE_WINDIR", (folder_ + "/win").c_str(), 1);
    SetStateFolder((folder_ + "/state").c_str());
    editorSettings = EditorSettings{};
    std::memset(recentFiles, 0, sizeof recentFiles);
    fStartupBuffer = 0;
    ResetCommandState();
    ResetMacro();
    fvedit::TheStatusLine().Clear();
}

void EditorWindowTest::Stop() {
    if (started_) {
        fvedit::ShutDownEditor();
        PumpPendingMessages();
        started_ = false;
    }
    while (pwinFirst != nullptr) {
        FreeEditWindow(pwinFirst);
    }
    SetCurrentWindow(nullptr);
}

void EditorWindowTest::TearDown() {
    Stop();
    ClearModalDialogHandlers();
    SetStateFolder(nullptr);
    RemoveTree(folder_);
}

bool EditorWindowTest::Start(const std::string& commandLine) {
    HINSTANCE instance = RegisterResourceModule("fvedit32-test");
    started_ = fvedit::StartEditor(instance, commandLine.c_str(), SW_SHOWNORMAL);
    Pump();
    return started_;
}

void EditorWindowTest::Pump() {
    MSG msg;
    for (int guard = 0; guard < 100000 && PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE); ++guard) {
        if (!fvedit::MessageLoopStep()) {
            break;
        }
    }
}

void EditorWindowTest::Key(WORD virtualKey, KeyModifiers modifiers) {
    PostKeyEvent(virtualKey, true, modifiers);
    PostKeyEvent(virtualKey, false, modifiers);
    Pump();
}

void EditorWindowTest::Type(const std::string& text) {
    for (char c : text) {
        if (c == '\n') {
            Key(VK_RETURN);
        } else if (c >= 'a' && c <= 'z') {
            Key(static_cast<WORD>(c - 'a' + 'A'));
        } else if (c >= 'A' && c <= 'Z') {
            KeyModifiers shift;
            shift.shift = true;
            Key(static_cast<WORD>(c), shift);
        } else {
            PostKeyEvent(static_cast<WORD>(c == ' ' ? VK_SPACE : c), true, {}, c);
            PostKeyEvent(static_cast<WORD>(c == ' ' ? VK_SPACE : c), false, {}, c);
            Pump();
        }
    }
}

namespace {

LPARAM CellPoint(int row, int column) {
    int x = column * GridSurface::kCellWidth + GridSurface::kCellWidth / 2 - 4;
    int y = row * GridSurface::kCellHeight + GridSurface::kCellHeight / 2;
    return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y));
}

}  // namespace

void EditorWindowTest::Click(int row, int column, bool shift) {
    KeyModifiers modifiers;
    modifiers.shift = shift;
    LPARAM point = CellPoint(row, column);
    PostMouseEvent(CurrentDocument(), WM_LBUTTONDOWN, LOWORD(point), HIWORD(point), modifiers);
    Pump();
}

void EditorWindowTest::Drag(int row, int column) {
    LPARAM point = CellPoint(row, column);
    PostMessageA(CurrentDocument(), WM_MOUSEMOVE, MK_LBUTTON, point);
    Pump();
}

void EditorWindowTest::Release(int row, int column) {
    LPARAM point = CellPoint(row, column);
    PostMouseEvent(CurrentDocument(), WM_LBUTTONUP, LOWORD(point), HIWORD(point));
    Pump();
}

void EditorWindowTest::Command(UINT id) {
    PostMessageA(fvedit::ew.frame, WM_COMMAND, id, 0);
    Pump();
}

HWND EditorWindowTest::CurrentDocument() const {
    return fvedit::DocumentWindowOf(pwinCurrent);
}

std::string EditorWindowTest::Row(int row) const {
    GridSurface* grid = HeadlessBackend::GridOf(CurrentDocument());
    if (grid == nullptr || row >= grid->rows()) {
        return "<no row>";
    }
    std::string text = grid->row(row);
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

std::string EditorWindowTest::StatusText() const {
    GridSurface* grid = HeadlessBackend::GridOf(fvedit::ew.status);
    if (grid == nullptr) {
        return "<no status window>";
    }
    std::string text = grid->row(0);
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

bool EditorWindowTest::Highlighted(int row, int column) const {
    GridSurface* grid = HeadlessBackend::GridOf(CurrentDocument());
    return grid != nullptr && grid->backColorAt(column, row) == fvedit::ew.highlightColour;
}

std::string EditorWindowTest::MenuTitles() const {
    HMENU menu = GetMenu(fvedit::ew.frame);
    std::string titles;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[64];
        GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        titles += (titles.empty() ? "" : " ") + std::string(text);
    }
    return titles;
}
