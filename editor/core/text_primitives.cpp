#include "editor/core/text_primitives.h"

#include <cstring>

#include "editor/core/lines.h"
#include "editor/core/private_heap.h"
#include "editor/core/trace.h"
#include "editor/core/user_messages.h"
#include "editor/core/window_positions.h"

namespace {

bool LineLengthAllowed(DWORD length) {
    if (length <= MAX_LINE_LENGTH) {
        return true;
    }
    RefuseEdit(IDS_LINE_TOO_LONG);
    return false;
}

void ClampDot() {
    Position& dot = pwinCurrent->dot;
    if (dot.offset > dot.lpln->length) {
        dot.offset = static_cast<WORD>(dot.lpln->length);
    }
}

}  // namespace

int InsertChars(const char* text, DWORD n) {
    if (n == 0) {
        return 1;
    }
    ClampDot();
    Line* line = pwinCurrent->dot.lpln;
    DWORD offset = pwinCurrent->dot.offset;
    DWORD length = line->length;
    if (!LineLengthAllowed(length + n)) {
        return 0;
    }
    if (line->capacity < length + n) {
        DWORD size = ((n + length) & ~15u) + 32;
        char* grown = static_cast<char*>(xalloc(pbufCurrent, size));
        if (grown == nullptr) {
            ReportOutOfMemory();
            return 0;
        }
        std::memcpy(grown, line->text, offset);
        std::memcpy(grown + offset, text, n);
        std::memcpy(grown + offset + n, line->text + offset, length - offset);
        xfree(pbufCurrent, line->text, line->capacity);
        line->text = grown;
        line->capacity = size;
    } else {
        std::memmove(line->text + offset + n, line->text + offset, length - offset);
        std::memcpy(line->text + offset, text, n);
    }
    line->length = length + n;
    pwinCurrent->dot.offset = static_cast<WORD>(offset + n);
    NotifyViews(RD_LINE);
    return 1;
}

int SplitLine() {
    ClampDot();
    Line* line = pwinCurrent->dot.lpln;
    Line* tail = NewLine(pbufCurrent);
    if (tail == nullptr) {
        ReportOutOfMemory();
        return 0;
    }
    WORD offset = pwinCurrent->dot.offset;
    tail->text = line->text + offset;
    tail->length = line->length - offset;
    tail->capacity = line->capacity - offset;
    tail->number = line->number + 1;
    line->length = offset;
    line->capacity = offset;

    tail->prev = line;
    tail->next = line->next;
    if (line->next != nullptr) {
        line->next->prev = tail;
    }
    line->next = tail;

    MovePositionsForSplit(pbufCurrent, line, tail, offset);
    pwinCurrent->dot = {tail, 0};
    NotifyViews(RD_RENUMBER | RD_ALL | RD_REFRAME);
    ++pbufCurrent->lineCount;
    return 1;
}

int DeleteChar() {
    ClampDot();
    Line* line = pwinCurrent->dot.lpln;
    WORD offset = pwinCurrent->dot.offset;
    if (offset >= line->length) {
        return 0;
    }
    std::memmove(line->text + offset, line->text + offset + 1, line->length - offset - 1);
    --line->length;
    NotifyViews(RD_LINE);
    MovePositionsForDeletion(pbufCurrent, line, offset, static_cast<WORD>(offset + 1));
    return 1;
}

int DeleteCR() {
    ClampDot();
    Line* line = pwinCurrent->dot.lpln;
    Line* second = line->next;
    if (second == nullptr) {
        return 0;
    }
    DWORD sum = line->length + second->length;
    if (!LineLengthAllowed(sum)) {
        return 0;
    }
    if (line->capacity < sum) {
        DWORD size = (sum & ~15u) + 16;
        char* joined = static_cast<char*>(xalloc(pbufCurrent, size));
        if (joined == nullptr) {
            ReportOutOfMemory();
            return 0;
        }
        std::memcpy(joined, line->text, line->length);
        std::memcpy(joined + line->length, second->text, second->length);
        xfree(pbufCurrent, line->text, line->capacity);
        line->text = joined;
        line->capacity = size;
    } else {
        std::memmove(line->text + line->length, second->text, second->length);
    }
    if (line->capacity < sum) {
        EditorTrace("DeleteCR: can't happen");
    }
    line->length = sum;
    FreeLine(pbufCurrent, second);
    --pbufCurrent->lineCount;
    NotifyViews(RD_RENUMBER | RD_ALL);
    return 1;
}

DWORD InsertText(const char* text) {
    if (text == nullptr) {
        return 0;
    }
    DWORD count = 0;
    const char* p = text;
    while (*p != '\0') {
        if (*p == '\r') {
            if (!SplitLine()) {
                break;
            }
            ++count;
            ++p;
        } else if (*p == '\n') {
            ++p;
        } else {
            DWORD run = static_cast<DWORD>(std::strcspn(p, "\r\n"));
            if (!InsertChars(p, run)) {
                break;
            }
            count += run;
            p += run;
        }
    }
    NotifyViews(RD_ALL);
    return count;
}
