// Case changes of the character at the dot or of every character of the marked block.
#include "editor/core/block_ops.h"
#include "editor/core/cursor_steps.h"
#include "editor/core/editing_commands.h"
#include "editor/core/lines.h"
#include "editor/core/undo.h"

namespace {

enum class CaseChange { Upper, Lower, Flip };

char Changed(char c, CaseChange change) {
    bool lower = c >= 'a' && c <= 'z';
    bool upper = c >= 'A' && c <= 'Z';
    if (lower && change != CaseChange::Lower) {
        return static_cast<char>(c - 'a' + 'A');
    }
    if (upper && change != CaseChange::Upper) {
        return static_cast<char>(c - 'A' + 'a');
    }
    return c;
}

void ChangeAtDot(CaseChange change) {
    if (DotAtLineEnd()) {
        return;
    }
    Position& dot = pwinCurrent->dot;
    char c = dot.lpln->text[dot.offset];
    char changed = Changed(c, change);
    if (changed == c) {
        return;
    }
    PushUndo(U_REPLCHAR);
    dot.lpln->text[dot.offset] = changed;
    NotifyViews(RD_LINE);
}

void ChangeCase(CaseChange change) {
    if (!pwinCurrent->marking) {
        ChangeAtDot(change);
        ++pbufCurrent->changes;
        return;
    }
    Position saved = pwinCurrent->dot;
    NormalizeBlock();
    PushUndo(U_MOVE);
    pwinCurrent->dot = pwinCurrent->startblock;
    const Position end = pwinCurrent->endblock;
    while (!PositionsEqual(pwinCurrent->dot, end)) {
        ChangeAtDot(change);
        if (!StepRight()) {
            break;
        }
    }
    pwinCurrent->dot = saved;
    bool oneLine = pwinCurrent->startblock.lpln == end.lpln;
    pwinCurrent->redraw &= static_cast<WORD>(~RD_REFRAME);
    pwinCurrent->redraw |= oneLine ? RD_LINE : RD_ALL;
    ++pbufCurrent->changes;
}

}  // namespace

void uppercase() {
    ChangeCase(CaseChange::Upper);
}

void lowercase() {
    ChangeCase(CaseChange::Lower);
}

void change_case() {
    ChangeCase(CaseChange::Flip);
}
