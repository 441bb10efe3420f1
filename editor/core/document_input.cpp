#include "editor/core/document_input.h"

#include "editor/core/key_table.h"
#include "editor/core/macro.h"

int HandleDocumentInput(UINT message, WPARAM wParam, LPARAM lParam) {
    MacroRecordHook(message, wParam, lParam);
    if (message == MACRO_WM_COMMAND) {
        return DispatchKeyCommand(static_cast<WORD>(wParam & 0xFFFF));
    }
    if (message == MACRO_WM_CHAR) {
        typeCharacter(static_cast<char>(wParam & 0xFF));
        return 1;
    }
    return 0;
}
