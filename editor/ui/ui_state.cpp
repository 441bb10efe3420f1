#include "editor/ui/ui_state.h"

#include "editor/core/editor_settings.h"
#include "editor/core/macro.h"
#include "editor/ui/status_text.h"

namespace fvedit {

EditorWindows ew;

namespace {

constexpr ModeNames kNormal = {"VOVuroFrame", "VOVuroDocument", "VOVuroStatus", 40, 42, 1};
constexpr ModeNames kScriptBuilder = {
    "ScriptBuilderFrame", "ScriptBuilderDocument", "ScriptBuilderStatus", 41, 43, 87};
constexpr ModeNames kPrint = {
    "VEvozPrintFrame", "VEvozPrintDocument", "VEvozPrintStatus", 40, 42, 1};

}  // namespace

const ModeNames& CurrentModeNames() {
    switch (editorMode) {
        case EditorMode::ScriptBuilder:
            return kScriptBuilder;
        case EditorMode::Print:
            return kPrint;
        default:
            return kNormal;
    }
}

bool AnyDocumentShown() {
    for (EditWindow* window = pwinFirst; window != nullptr; window = window->next) {
        HWND document = DocumentWindowOf(window);
        if (document != nullptr && !IsIconic(document)) {
            return true;
        }
    }
    return false;
}

HWND ActiveDocument() {
    if (ew.client == nullptr) {
        return nullptr;
    }
    auto active = reinterpret_cast<HWND>(SendMessageA(ew.client, WM_MDIGETACTIVE, 0, 0));
    return IsWindow(active) ? active : nullptr;
}

StatusLine& TheStatusLine() {
    static StatusLine line;
    return line;
}

std::string CurrentStatusText() {
    StatusLine copy = TheStatusLine();
    return copy.Paint(pwinCurrent, ew.statusWidthChars, macro.recording);
}

}  // namespace fvedit
