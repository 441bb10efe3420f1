#include "editor/core/find_replace.h"

#include <cstdio>
#include <cstring>

#include "editor/core/block_ops.h"
#include "editor/core/cursor_steps.h"
#include "editor/core/history.h"
#include "editor/core/lines.h"
#include "editor/core/private_heap.h"
#include "editor/core/search.h"
#include "editor/core/text_primitives.h"
#include "editor/core/undo.h"
#include "editor/core/user_messages.h"
#include "editor/core/wait_cursor.h"

BOOL fConfirmInProgress = 0;

namespace {

char replacementText[SEARCH_TEXT_SIZE];  // escapes resolved in regular-expression mode
int replacedCount = 0;
bool confirmDialogOpen = false;
Position confirmResume{};  // where a confirmed replace returns when nothing more is found
// Where the last replacement ended: an empty match found there again is stepped over, so
// that replacing always advances.
Position lastReplacementEnd{};

void ResolveReplacement() {
    const char* in = searchState.replacement;
    char* out = replacementText;
    char* end = replacementText + sizeof replacementText - 1;
    while (*in != '\0' && out < end) {
        char c = *in++;
        if (searchState.regularExpression && c == '\\' && *in != '\0') {
            c = *in++;
            c = c == 't' ? '\t' : c == 'f' ? '\f' : c;
        }
        *out++ = c;
    }
    *out = '\0';
}

void ReportCount(UINT none) {
    char count[16];
    std::snprintf(count, sizeof count, "%d", replacedCount);
    if (replacedCount == 0) {
        StatusMessage(none);
        return;
    }
    char text[64];
    std::snprintf(
        text, sizeof text,
        EditorString(replacedCount < 2 ? IDS_OCCURRENCE_CHANGED : IDS_OCCURRENCES_CHANGED),
        replacedCount);
    Ui().SetStatus(text, false);
}

// Searches forward for the next match to replace, stepping over an empty match where the
// previous replacement ended. Returns 1 when one is selected.
int NextReplaceable() {
    for (;;) {
        int found = SearchFromDot(false);
        if (found != 1) {
            return found;
        }
        bool empty = !pwinCurrent->marking;
        if (!empty || !PositionsEqual(pwinCurrent->dot, lastReplacementEnd)) {
            return 1;
        }
        if (!StepRight()) {
            return 0;
        }
    }
}

// Replaces the marked match (or inserts at an empty one) with one U_REPLACE undo record.
bool ReplaceOne() {
    char* saved = nullptr;
    DWORD savedSize = 0;
    if (pwinCurrent->marking) {
        NormalizeBlock();
        savedSize = BlockSize() + 1;
        saved = static_cast<char*>(xalloc(pbufCurrent, savedSize));
        if (saved == nullptr) {
            ReportOutOfMemory();
            return false;
        }
        BlockText(saved);
        if (!DeleteBlock()) {
            xfree(pbufCurrent, saved, savedSize);
            return false;
        }
        pwinCurrent->marking = 0;
        pwinCurrent->redraw |= RD_ALL;
    }
    DWORD count = InsertText(replacementText);
    if (!PushUndo(U_REPLACE, saved, count) && saved != nullptr) {
        xfree(pbufCurrent, saved, savedSize);
    }
    lastReplacementEnd = pwinCurrent->dot;
    pwinCurrent->mark = pwinCurrent->dot;
    ++replacedCount;
    return true;
}

void CloseConfirm() {
    if (confirmDialogOpen) {
        confirmDialogOpen = false;
        Ui().CloseConfirmDialog();
    }
}

void ShowConfirm() {
    confirmDialogOpen = true;
    Ui().ShowConfirmDialog(
        EditorString(searchState.confirmChanges ? IDS_CONFIRM_ONE : IDS_CONFIRM_ALL),
        searchState.confirmChanges);
}

void FinishConfirmed() {
    pwinCurrent->dot = confirmResume;
    pwinCurrent->mark = confirmResume;
    if (pwinCurrent->marking) {
        pwinCurrent->marking = 0;
        pwinCurrent->redraw |= RD_ALL;
    }
    ReportCount(IDS_NO_MORE_OCCURRENCES);
    fConfirmInProgress = 0;
    CloseConfirm();
    Ui().UpdateDisplay();
}

// The confirmed replace's next step: the next match is shown, or the replace ends.
void SearchOn() {
    if (NextReplaceable() == 1) {
        Ui().UpdateDisplay();
        return;
    }
    FinishConfirmed();
}

void PrefillDialog(SearchDialogData& data) {
    std::memset(&data, 0, sizeof data);
    if (!SingleLineBlockText(data.pattern, 255)) {
        std::snprintf(data.pattern, sizeof data.pattern, "%s",
                      historyLists[HIST_SEARCH].entries[0]);
    }
    std::snprintf(data.replacement, sizeof data.replacement, "%s",
                  historyLists[HIST_REPLACEMENT].entries[0]);
    data.patternHistory = &historyLists[HIST_SEARCH];
    data.replacementHistory = &historyLists[HIST_REPLACEMENT];
    data.matchCase = searchState.matchCase;
    data.regularExpression = searchState.regularExpression;
    data.confirmChanges = searchState.confirmChanges;
}

void UnmarkToBlockStart() {
    if (pwinCurrent->marking) {
        Unmark();
    }
}

int ReportSearch(int found) {
    if (found < 0) {
        StatusMessage(IDS_BAD_PATTERN);
        return 0;
    }
    if (found == 0) {
        StatusMessage(IDS_PATTERN_NOT_FOUND);
    }
    return found;
}

}  // namespace

int Search() {
    if (searchState.pattern[0] == '\0') {
        StatusMessage(IDS_NO_PATTERN);
        return 0;
    }
    PushUndo(U_MOVE);
    WaitCursor wait;
    return ReportSearch(SearchFromDot(searchState.backward != 0));
}

void find() {
    SearchDialogData data;
    PrefillDialog(data);
    if (!Ui().FindDialog(data)) {
        return;
    }
    std::snprintf(searchState.pattern, sizeof searchState.pattern, "%s", data.pattern);
    searchState.matchCase = data.matchCase;
    searchState.regularExpression = data.regularExpression;
    searchState.backward = data.backward;
    AddToHistory(historyLists[HIST_SEARCH], searchState.pattern);
    Search();
}

void find_again() {
    if (searchState.pattern[0] == '\0') {
        StatusMessage(IDS_NO_PATTERN);
        return;
    }
    if (pwinCurrent->marking) {
        Unmark();
    }
    PushUndo(U_MOVE);
    Position remembered = pwinCurrent->dot;
    bool backward = searchState.backward != 0;
    if (backward) {
        StepLeft();
    } else {
        StepRight();
    }
    int found;
    {
        WaitCursor wait;
        found = SearchFromDot(backward);
    }
    if (found != 1) {
        pwinCurrent->dot = remembered;
        pwinCurrent->mark = remembered;
    }
    ReportSearch(found);
}

int ReplaceAll() {
    WaitCursor wait;
    BOOL wasInProgress = fConfirmInProgress;
    fConfirmInProgress = 1;
    int before = replacedCount;
    Position dot = pwinCurrent->dot;
    Position mark = pwinCurrent->mark;
    lastReplacementEnd = {nullptr, 0};
    int found;
    while ((found = NextReplaceable()) == 1) {
        if (!ReplaceOne()) {
            break;
        }
    }
    int replaced = replacedCount - before;
    if (found < 0 && replacedCount == 0) {
        StatusMessage(IDS_BAD_PATTERN);
    } else {
        ReportCount(IDS_PATTERN_NOT_FOUND);
    }
    if (replaced > 0) {
        ++pbufCurrent->changes;
    }
    fConfirmInProgress = wasInProgress;
    // Replacements never join or split lines, so the lines are still there; offsets are kept
    // within their lines.
    if (pwinCurrent->marking) {
        pwinCurrent->marking = 0;
        pwinCurrent->redraw |= RD_ALL;
    }
    dot.offset = static_cast<WORD>(dot.offset < dot.lpln->length ? dot.offset : dot.lpln->length);
    mark.offset =
        static_cast<WORD>(mark.offset < mark.lpln->length ? mark.offset : mark.lpln->length);
    pwinCurrent->dot = dot;
    pwinCurrent->mark = mark;
    pwinCurrent->redraw |= RD_ALL;
    return replaced;
}

void replace() {
    CloseConfirm();
    fConfirmInProgress = 0;
    searchState.confirmChanges = 1;
    SearchDialogData data;
    PrefillDialog(data);
    if (!Ui().ReplaceDialog(data)) {
        return;
    }
    std::snprintf(searchState.pattern, sizeof searchState.pattern, "%s", data.pattern);
    std::snprintf(searchState.replacement, sizeof searchState.replacement, "%s", data.replacement);
    searchState.matchCase = data.matchCase;
    searchState.regularExpression = data.regularExpression;
    searchState.confirmChanges = data.confirmChanges;
    searchState.backward = 0;
    if (searchState.pattern[0] == '\0') {
        StatusMessage(IDS_NO_PATTERN);
        return;
    }
    UnmarkToBlockStart();
    AddToHistory(historyLists[HIST_SEARCH], searchState.pattern);
    AddToHistory(historyLists[HIST_REPLACEMENT], searchState.replacement);
    ResolveReplacement();
    PushUndo(U_MOVE);
    replacedCount = 0;
    if (!searchState.confirmChanges) {
        ReplaceAll();
        return;
    }
    fConfirmInProgress = 1;
    confirmResume = pwinCurrent->dot;
    lastReplacementEnd = {nullptr, 0};
    int found = NextReplaceable();
    if (found == 1) {
        Ui().UpdateDisplay();
        ShowConfirm();
        return;
    }
    StatusMessage(found < 0 ? IDS_BAD_PATTERN : IDS_PATTERN_NOT_FOUND);
    if (pwinCurrent->marking) {
        pwinCurrent->marking = 0;
        pwinCurrent->redraw |= RD_ALL;
    }
    fConfirmInProgress = 0;
}

void confirm_yes() {
    if (!fConfirmInProgress) {
        return;
    }
    if (!searchState.confirmChanges) {
        UnmarkToBlockStart();
        ReplaceAll();
        fConfirmInProgress = 0;
        CloseConfirm();
        Ui().UpdateDisplay();
        return;
    }
    ReplaceOne();
    ++pbufCurrent->changes;
    confirmResume = pwinCurrent->dot;
    SearchOn();
}

void confirm_no() {
    if (!fConfirmInProgress) {
        return;
    }
    if (!searchState.confirmChanges) {
        confirm_cancel();
        return;
    }
    // The dot stays at the declined match's end and the search goes on from there. No step
    // right first: it would skip a match that starts right there (the second abc of abcabc).
    // An empty match at that place, the declined one included, is stepped over as after a
    // replacement, so that the search always advances.
    if (pwinCurrent->marking) {
        pwinCurrent->marking = 0;
        pwinCurrent->redraw |= RD_ALL;
    }
    pwinCurrent->mark = pwinCurrent->dot;
    confirmResume = pwinCurrent->dot;
    lastReplacementEnd = pwinCurrent->dot;
    SearchOn();
}

void confirm_toggle() {
    if (!fConfirmInProgress) {
        return;
    }
    searchState.confirmChanges = !searchState.confirmChanges;
    ShowConfirm();
}

void confirm_cancel() {
    if (!fConfirmInProgress && !confirmDialogOpen) {
        return;
    }
    if (pwinCurrent != nullptr && pwinCurrent->marking) {
        NormalizeBlock();
        pwinCurrent->dot = pwinCurrent->startblock;
        pwinCurrent->mark = pwinCurrent->dot;
        pwinCurrent->marking = 0;
        pwinCurrent->redraw |= RD_ALL;
    }
    fConfirmInProgress = 0;
    if (pwinCurrent != nullptr) {
        pwinCurrent->redraw |= RD_LINE;
    }
    CloseConfirm();
    Ui().UpdateDisplay();
}
