// The keystroke macro: the command and character messages that reach a document window while
// recording, kept in memory and sent again to the current document window on playback. One
// macro exists at a time.
#pragma once

#include "platform/kernel/win_types.h"

inline constexpr int MACRO_BUFFER_SIZE = 256;
inline constexpr UINT MACRO_WM_CHAR = 0x0102;
inline constexpr UINT MACRO_WM_COMMAND = 0x0111;

struct MacroMessage {
    WORD message;
    WORD wParamLow;  // the low 16 bits of the first parameter
    DWORD lParam;
};

struct MacroState {
    MacroMessage messages[MACRO_BUFFER_SIZE];
    int count;   // messages recorded
    int length;  // messages of the defined macro; 0 when none
    BOOL recording;
    BOOL playing;
    // Set when the message now being handled filled the buffer and ended the recording: if
    // that message is the record command itself, it must not start a new, empty recording.
    BOOL endedByFullBuffer;
};

extern MacroState macro;

// Starts recording, or stops it (the stopping command is not part of the macro). Ignored
// while playing.
void record_macro();
// Sends the macro to the current document window. Ignored while recording or playing.
void play_macro();
// The recording hook: offered every message a document window receives except mouse
// messages, before the window handles it. Records command and character messages while
// recording; the 256th message ends the recording with a macro of 255.
void MacroRecordHook(UINT message, WPARAM wParam, LPARAM lParam);
// Forgets the macro and stops recording and playing.
void ResetMacro();

// Delivers one played-back message to the current document window (the user interface's
// document window procedure). The default hands it to HandleDocumentInput.
extern void (*sendToDocument)(UINT message, WPARAM wParam, LPARAM lParam);
// Marks the current window for a full repaint after playback.
void MarkCurrentWindowForRepaint();

// The text of the record menu item and whether the two menu items are enabled.
const char* RecordMacroItemText();
bool RecordMacroItemEnabled();
bool PlayMacroItemEnabled();
