#include "editor/core/macro.h"

#include "editor/core/document_input.h"
#include "editor/core/edit_window.h"
#include "editor/core/editor_settings.h"
#include "editor/core/settings_texts.h"
#include "editor/core/ui_services.h"

MacroState macro;

void (*sendToDocument)(UINT message, WPARAM wParam, LPARAM lParam) = [](UINT message, WPARAM wParam,
                                                                        LPARAM lParam) {
    HandleDocumentInput(message, wParam, lParam);
};

void record_macro() {
    if (macro.playing) {
        return;
    }
    if (macro.endedByFullBuffer) {
        macro.endedByFullBuffer = 0;
        return;
    }
    if (macro.recording) {
        macro.recording = 0;
        macro.length = macro.count > 0 ? macro.count - 1 : 0;
        Ui().SetStatus(TXT_MACRO_DEFINED, false);
        return;
    }
    macro.count = 0;
    macro.length = 0;
    macro.recording = 1;
}

void play_macro() {
    if (macro.recording || macro.playing) {
        return;
    }
    if (macro.length == 0) {
        Ui().SetStatus(TXT_NO_MACRO, false);
        return;
    }
    macro.playing = 1;
    fMacroPlayback = 1;
    for (int i = 0; i < macro.length && pwinCurrent != nullptr; ++i) {
        const MacroMessage& recorded = macro.messages[i];
        sendToDocument(recorded.message, recorded.wParamLow,
                       static_cast<LPARAM>(static_cast<std::int32_t>(recorded.lParam)));
    }
    fMacroPlayback = 0;
    macro.playing = 0;
    MarkCurrentWindowForRepaint();
}

void MacroRecordHook(UINT message, WPARAM wParam, LPARAM lParam) {
    macro.endedByFullBuffer = 0;
    if (!macro.recording || (message != MACRO_WM_COMMAND && message != MACRO_WM_CHAR)) {
        return;
    }
    macro.messages[macro.count] = {static_cast<WORD>(message), static_cast<WORD>(wParam & 0xFFFF),
                                   static_cast<DWORD>(lParam)};
    ++macro.count;
    if (macro.count == MACRO_BUFFER_SIZE) {
        macro.recording = 0;
        macro.endedByFullBuffer = 1;
        macro.length = MACRO_BUFFER_SIZE - 1;
        Ui().SetStatus(TXT_MACRO_BUFFER_FULL, false);
    }
}

void ResetMacro() {
    macro = MacroState{};
    fMacroPlayback = 0;
}

void MarkCurrentWindowForRepaint() {
    if (pwinCurrent != nullptr) {
        pwinCurrent->redraw |= RD_ALL;
    }
}

const char* RecordMacroItemText() {
    return macro.recording ? TXT_STOP_RECORDING_ITEM : TXT_RECORD_MACRO_ITEM;
}

bool RecordMacroItemEnabled() {
    return !macro.playing;
}

bool PlayMacroItemEnabled() {
    return macro.length > 0;
}
