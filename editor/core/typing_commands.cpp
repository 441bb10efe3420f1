// Typing: characters with overwrite and word wrap, tab, enter with auto-indent, split_line,
// and the insert-text request.
#include <cstring>

#include "editor/core/block_ops.h"
#include "editor/core/command_state.h"
#include "editor/core/cursor_steps.h"
#include "editor/core/editing_commands.h"
#include "editor/core/lines.h"
#include "editor/core/text_primitives.h"
#include "editor/core/undo.h"

namespace {

constexpr DWORD MAX_INDENT = 127;

int TabSize() {
    return pbufCurrent->tabSize > 0 ? pbufCurrent->tabSize : 1;
}

// Inserts one character with its undo record; the record goes again when the insertion failed.
bool InsertOne(char c) {
    bool recorded = PushUndo(U_INSCHAR) != 0;
    if (InsertChars(&c, 1)) {
        return true;
    }
    if (recorded) {
        DiscardNewestUndo();
    }
    return false;
}

bool OverwriteAllowed() {
    if (!fOverwrite || DotAtLineEnd()) {
        return false;
    }
    // Over a tab the character is inserted unless the tab fills a single column.
    return CharAtDot() != '\t' || (DotColumn() + 1) % TabSize() == 0;
}

void Overwrite(char c) {
    PushUndo(U_REPLCHAR);
    Position& dot = pwinCurrent->dot;
    dot.lpln->text[dot.offset] = c;
    ++dot.offset;
    NotifyViews(RD_LINE);
}

void WrapWhileTyping() {
    int margin = pbufCurrent->rightMargin;
    if (!(pbufCurrent->options & BF_WORDWRAP) || margin <= 0 || DotColumn() < margin) {
        return;
    }
    WORD d = pwinCurrent->dot.offset;
    PushUndo(U_MOVE);
    WORD g = WrapPoint(d, margin);
    if (g == d) {
        return;
    }
    pwinCurrent->dot.offset = g;
    PushUndo(U_NEWLINE);
    if (!SplitLine()) {
        pwinCurrent->dot.offset = d;
        return;
    }
    PushUndo(U_MOVE);
    pwinCurrent->dot.offset = static_cast<WORD>(d - g);
    pwinCurrent->redraw |= RD_ALL;
}

void IndentingNewLine() {
    const Line* line = pwinCurrent->dot.lpln;
    char indent[MAX_INDENT];
    DWORD count = 0;
    while (count < MAX_INDENT && count < line->length && IsBlank(line->text[count])) {
        indent[count] = line->text[count];
        ++count;
    }
    PushUndo(U_INDENT, nullptr, count);
    if (!SplitLine()) {
        DiscardNewestUndo();
        return;
    }
    InsertChars(indent, count);
    RenumberLines();
    // Blanks that followed the split point would double the indentation.
    PushUndo(U_MOVE);
    StartMarking();
    while (!DotAtLineEnd() && IsBlank(CharAtDot())) {
        ++pwinCurrent->dot.offset;
    }
    if (PositionsEqual(pwinCurrent->dot, pwinCurrent->mark)) {
        EndMarking();
    } else {
        DeleteMarkedBlock();
    }
}

}  // namespace

WORD WrapPoint(WORD offset, int margin) {
    const Line* line = pwinCurrent->dot.lpln;
    const char* text = line->text;
    WORD position = offset;
    while (ColumnOf(pwinCurrent, line, position) >= margin) {
        WORD start = position;
        while (position > 0 && IsBlank(text[position - 1])) {
            --position;
        }
        while (position > 0 && !IsBlank(text[position - 1])) {
            --position;
        }
        if (position == 0) {
            return start;
        }
    }
    return position;
}

void ReplaceOrUnmarkBlock() {
    if (!pwinCurrent->marking) {
        return;
    }
    if (fTypingReplacesSelection) {
        DeleteMarkedBlock();
    } else {
        Unmark();
    }
}

void TypeCharacter(char c) {
    ReplaceOrUnmarkBlock();
    if (OverwriteAllowed()) {
        Overwrite(c);
    } else if (!InsertOne(c)) {
        return;
    }
    WrapWhileTyping();
    ++pbufCurrent->changes;
}

void InsertTextRequest(const char* text) {
    DWORD count = InsertText(text);
    RenumberIfNeeded();
    PushUndo(U_INSTEXT, nullptr, count);
    ++pbufCurrent->changes;
}

void tab_right() {
    if (fOverwrite && !DotAtLineEnd()) {
        PushUndo(U_MOVE);
        EndMarking();
        int column = DotColumn();
        int stop = column + TabSize() - column % TabSize();
        MoveToColumn(stop);
        if (columnReached == stop) {
            return;
        }
    }
    if (pwinCurrent->marking && !fTypingReplacesSelection) {
        // Unlike a typed character, the tab goes in where the dot is, not at the block's start.
        PushUndo(U_MOVE);
        EndMarking();
    } else {
        ReplaceOrUnmarkBlock();
    }
    if (pbufCurrent->options & BF_EXPANDTABS) {
        do {
            if (!InsertOne(' ')) {
                break;
            }
        } while (DotColumn() % TabSize() != 0);
    } else {
        InsertOne('\t');
    }
    ++pbufCurrent->changes;
}

void enter() {
    ReplaceOrUnmarkBlock();
    if (DotRow() >= pwinCurrent->rows - 1) {
        ScrollView(1);
    }
    Line* line = pwinCurrent->dot.lpln;
    if (fOverwrite && line->next != nullptr) {
        PushUndo(U_MOVE);
        pwinCurrent->dot = {line->next, 0};
        pwinCurrent->redraw |= RD_REFRAME;
        if (pbufCurrent->autoIndent) {
            while (!DotAtLineEnd() && IsBlank(CharAtDot())) {
                ++pwinCurrent->dot.offset;
            }
        }
    } else if (pbufCurrent->autoIndent) {
        IndentingNewLine();
    } else {
        PushUndo(U_NEWLINE);
        if (!SplitLine()) {
            DiscardNewestUndo();
        }
    }
    ++pbufCurrent->changes;
}

void split_line() {
    PushUndo(U_SPLIT);
    if (!SplitLine()) {
        DiscardNewestUndo();
        return;
    }
    StepLeft();
    ++pbufCurrent->changes;
}

void toggle_insert() {
    fOverwrite = !fOverwrite;
}

void toggle_wordwrap() {
    pbufCurrent->options ^= BF_WORDWRAP;
}
