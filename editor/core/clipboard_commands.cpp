// The clipboard commands: copy, cut and paste of the marked block or the current line.
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "editor/core/block_ops.h"
#include "editor/core/command_state.h"
#include "editor/core/cursor_steps.h"
#include "editor/core/editing_commands.h"
#include "editor/core/lines.h"
#include "editor/core/private_heap.h"
#include "editor/core/text_primitives.h"
#include "editor/core/ui_services.h"
#include "editor/core/undo.h"
#include "editor/core/user_messages.h"
#include "editor/core/wait_cursor.h"

namespace {

// Clipboard text of this many bytes or more is refused by paste.
constexpr long MAX_PASTE_TEXT = 65536;

// Runs a block command on the dot's whole line (up to the start of the next line, or the end
// of the last one), then puts dot, mark and the marking flag back.
template <typename Command>
DWORD OnCurrentLine(Command command) {
    Position dot = pwinCurrent->dot;
    Position mark = pwinCurrent->mark;
    BOOL marking = pwinCurrent->marking;
    Line* line = dot.lpln;
    pwinCurrent->dot = {line, 0};
    pwinCurrent->mark = pwinCurrent->dot;
    pwinCurrent->dot = line->next != nullptr ? Position{line->next, 0}
                                             : Position{line, static_cast<WORD>(line->length)};
    pwinCurrent->marking = 1;
    DWORD size = command();
    if (size == 0) {
        pwinCurrent->dot = dot;
        pwinCurrent->mark = mark;
        pwinCurrent->marking = marking;
    }
    return size;
}

// Linux clipboards hold bare line feeds; the editor's flat text breaks lines at carriage
// returns, so a line feed not preceded by one becomes a line break too.
std::string ClipboardFlatText(const char* text) {
    std::string flat;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p == '\n' && (p == text || p[-1] != '\r')) {
            flat += '\r';
        }
        flat += *p;
    }
    return flat;
}

}  // namespace

DWORD copy_block() {
    if (!pwinCurrent->marking) {
        RefuseEdit(IDS_NO_BLOCK_MARKED);
        return 0;
    }
    NormalizeBlock();
    DWORD size = BlockSize() + 1;
    if (size > MAX_BLOCK_TEXT) {
        RefuseEdit(IDS_BLOCK_TOO_BIG);
        return 0;
    }
    std::unique_ptr<char[]> text(new (std::nothrow) char[size]());
    if (text == nullptr) {
        ReportOutOfMemory();
        return 0;
    }
    BlockText(text.get());
    Ui().SetClipboardText(text.get(), size - 1);
    return size;
}

DWORD cut_block() {
    if (!pwinCurrent->marking) {
        RefuseEdit(IDS_NO_BLOCK_MARKED);
        return 0;
    }
    DWORD size = copy_block();
    if (size == 0) {
        return 0;
    }
    char* text = static_cast<char*>(xalloc(pbufCurrent, size));
    if (text == nullptr) {
        ReportOutOfMemory();
        return 0;
    }
    BlockText(text);
    bool recorded = PushUndo(U_DELBLOCK, text, size) != 0;
    if (!recorded) {
        xfree(pbufCurrent, text, size);
    }
    if (!DeleteBlock()) {
        if (recorded) {
            DiscardNewestUndo();
        }
        return 0;
    }
    EndMarking();
    PushUndo(U_MOVE);
    ++pbufCurrent->changes;
    return size;
}

void copy_block_command() {
    copy_block();
}

void cut_block_command() {
    cut_block();
}

void copy() {
    if (pwinCurrent->marking) {
        copy_block();
    } else if (fCutCopyCurrentLine) {
        copy_line();
    } else {
        RefuseEdit(IDS_NO_BLOCK_MARKED);
    }
}

void cut() {
    if (pwinCurrent->marking) {
        cut_block();
    } else if (fCutCopyCurrentLine) {
        cut_line();
    } else {
        RefuseEdit(IDS_NO_BLOCK_MARKED);
    }
}

void copy_line() {
    Position dot = pwinCurrent->dot;
    Position mark = pwinCurrent->mark;
    BOOL marking = pwinCurrent->marking;
    OnCurrentLine(copy_block);
    pwinCurrent->dot = dot;
    pwinCurrent->mark = mark;
    pwinCurrent->marking = marking;
}

void cut_line() {
    PushUndo(U_MOVE);
    Line* line = pwinCurrent->dot.lpln;
    if (line->next == nullptr) {
        // The block would run from the last line's start to its start: nothing is cut, and
        // the clipboard keeps what it holds.
        EndMarking();
        pwinCurrent->dot.offset = 0;
        pwinCurrent->redraw |= RD_LINE;
        return;
    }
    OnCurrentLine(cut_block);
}

void paste() {
    WaitCursor wait;
    char probe[1];
    long length = Ui().GetClipboardText(probe, sizeof probe);
    if (length < 0) {
        return;
    }
    if (length >= MAX_PASTE_TEXT) {
        RefuseEdit(IDS_BLOCK_TOO_BIG);
        return;
    }
    std::unique_ptr<char[]> text(new (std::nothrow) char[static_cast<std::size_t>(length) + 1]);
    if (text == nullptr) {
        ReportOutOfMemory();
        return;
    }
    Ui().GetClipboardText(text.get(), static_cast<std::size_t>(length) + 1);
    std::string flat = ClipboardFlatText(text.get());
    ReplaceOrUnmarkBlock();
    DWORD count = InsertText(flat.c_str());
    RenumberIfNeeded();
    PushUndo(U_INSTEXT, nullptr, count);
    ++pbufCurrent->changes;
}
