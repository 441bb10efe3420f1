// Shared set-up of the command tests: the editor fixture plus the command state, the view's
// counting painter and a way to run a command as the document window would.
#pragma once

#include "editor_fixture.h"

class CommandTest : public EditorTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs a command followed by the document window's common tail (new undo serial, goal
    // column flags, display update).
    void Run(void (*command)());
    void Run(void (*command)(), int times);
    // Types text as keystrokes ('\n' presses Enter).
    void Type(const std::string& text);
    // Marks from (line, offset) to (line, offset) as a keyboard selection would.
    void Mark(DWORD fromLine, WORD fromOffset, DWORD toLine, WORD toOffset);

    EditWindow* window = nullptr;
};

// "line:offset" of the current window's dot.
std::string DotAt();
