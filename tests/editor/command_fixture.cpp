#include "command_fixture.h"

#include "editor/core/command_state.h"
#include "editor/core/editing_commands.h"
#include "editor/core/find_replace.h"
#include "editor/core/history.h"
#include "editor/core/lines.h"
#include "editor/core/search.h"
#include "editor/view/display_update.h"
#include "editor/view/view_metrics.h"

void CommandTest::SetUp() {
    EditorTest::SetUp();
    ResetCommandState();
    ClearHistories();
    searchState = SearchState{};
    fConfirmInProgress = 0;
    fMouseSelecting = 0;
    viewMetrics = ViewMetrics{};
    SetViewPainter(nullptr);
}

void CommandTest::TearDown() {
    SetViewPainter(nullptr);
    EditorTest::TearDown();
}

void CommandTest::Run(void (*command)()) {
    command();
    CommandTail();
}

void CommandTest::Run(void (*command)(), int times) {
    for (int i = 0; i < times; ++i) {
        Run(command);
    }
}

void CommandTest::Type(const std::string& text) {
    for (char c : text) {
        if (c == '\n') {
            enter();
        } else {
            TypeCharacter(c);
        }
        CommandTail();
    }
}

void CommandTest::Mark(DWORD fromLine, WORD fromOffset, DWORD toLine, WORD toOffset) {
    RenumberLines();
    PlaceDot(pwinCurrent, fromLine, fromOffset);
    pwinCurrent->mark = pwinCurrent->dot;
    pwinCurrent->marking = 1;
    PlaceDot(pwinCurrent, toLine, toOffset);
    DisplayUpdate();
}

std::string DotAt() {
    RenumberIfNeeded();
    return std::to_string(pwinCurrent->dot.lpln->number) + ":" +
           std::to_string(pwinCurrent->dot.offset);
}
