#include "editor_fixture.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

#include "editor/core/documents.h"
#include "editor/core/editor_paths.h"
#include "editor/core/editor_settings.h"
#include "editor/core/file_io.h"
#include "editor/core/lines.h"
#include "editor/core/private_heap.h"
#include "editor/core/recent_files.h"
#include "editor/core/text_primitives.h"
#include "editor/core/undo.h"

namespace {

void RemoveTree(const std::string& path) {
    DIR* dir = opendir(path.c_str());
    if (dir != nullptr) {
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

void CloseEverything() {
    while (pwinFirst != nullptr) {
        FreeEditWindow(pwinFirst);
    }
    while (pbufFirst != nullptr) {
        DestroyBuffer(pbufFirst);
    }
    SetCurrentWindow(nullptr);
}

}  // namespace

void EditorTest::SetUp() {
    CloseEverything();
    SetEditorUi(&ui);
    char pattern[] = "/tmp/fvedit-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder_ = pattern;
    std::string state = folder_ + "/state";
    mkdir(state.c_str(), 0700);
    SetStateFolder(state.c_str());
    editorSettings = EditorSettings{};
    editorMode = EditorMode::Normal;
    fMacroPlayback = 0;
    fStartupBuffer = 0;
    editorWriteHook = nullptr;
    heapChunkFailureCountdown = 0;
    std::memset(recentFiles, 0, sizeof recentFiles);
}

void EditorTest::TearDown() {
    CloseEverything();
    editorWriteHook = nullptr;
    heapChunkFailureCountdown = 0;
    SetEditorUi(nullptr);
    SetStateFolder(nullptr);
    RemoveTree(folder_);
}

EditWindow* EditorTest::NewDocument(const std::string& text) {
    EXPECT_TRUE(new_file());
    std::string flat;
    for (char c : text) {
        flat += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    InsertText(flat.c_str());
    RenumberLines();
    PlaceDot(pwinCurrent, 0, 0);
    pwinCurrent->mark = pwinCurrent->dot;
    pwinCurrent->redraw = 0;
    pbufCurrent->state = 0;
    ResetUndo(pbufCurrent);
    return pwinCurrent;
}

EditWindow* EditorTest::SecondWindow() {
    EditWindow* window = NewEditWindow(pbufCurrent);
    SetCurrentWindow(window);
    RefreshTitles(window->buffer);
    return window;
}

std::string BufferText(const Buffer* buffer) {
    std::string text;
    for (const Line* line = buffer->lplnFirst; line != nullptr; line = line->next) {
        text.append(line->text, line->length);
        if (line->next != nullptr) {
            text += '\n';
        }
    }
    return text;
}

::testing::AssertionResult BufferConsistent(const Buffer* buffer) {
    if (buffer->lplnFirst == nullptr || buffer->lplnFirst->prev != nullptr) {
        return ::testing::AssertionFailure() << "bad first line";
    }
    std::vector<const Line*> lines;
    for (const Line* line = buffer->lplnFirst; line != nullptr; line = line->next) {
        if (line->next != nullptr && line->next->prev != line) {
            return ::testing::AssertionFailure() << "broken link after line " << lines.size();
        }
        if (line->length > line->capacity || line->length > MAX_LINE_LENGTH) {
            return ::testing::AssertionFailure() << "line " << lines.size() << " length "
                                                 << line->length << " capacity " << line->capacity;
        }
        lines.push_back(line);
    }
    if (lines.size() != buffer->lineCount) {
        return ::testing::AssertionFailure()
               << "line count " << buffer->lineCount << " but " << lines.size() << " lines";
    }
    for (const EditWindow* window = pwinFirst; window != nullptr; window = window->next) {
        if (window->buffer != buffer) {
            continue;
        }
        const Position* positions[] = {&window->dot, &window->mark};
        for (const Position* position : positions) {
            if (std::find(lines.begin(), lines.end(), position->lpln) == lines.end()) {
                return ::testing::AssertionFailure() << "position on a line not in the buffer";
            }
            if (position->offset > position->lpln->length) {
                return ::testing::AssertionFailure() << "offset " << position->offset
                                                     << " beyond length " << position->lpln->length;
            }
        }
        if (std::find(lines.begin(), lines.end(), window->lplnTop) == lines.end()) {
            return ::testing::AssertionFailure() << "lplnTop not in the buffer";
        }
    }
    return ::testing::AssertionSuccess();
}

Line* LineAt(const Buffer* buffer, DWORD number) {
    return LineByNumber(const_cast<Buffer*>(buffer), number);
}

void PlaceDot(EditWindow* window, DWORD line, WORD offset) {
    window->dot = {LineAt(window->buffer, line), offset};
    // The cursor is shown there, as a display update would place it.
    window->cursorColumn = ColumnOf(window, window->dot.lpln, offset) - window->hscroll;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

bool Exists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

std::string ListFolder(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) {
        return "";
    }
    while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name != "." && name != "..") {
            names.push_back(name);
        }
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    std::string joined;
    for (const std::string& name : names) {
        joined += (joined.empty() ? "" : " ") + name;
    }
    return joined;
}
