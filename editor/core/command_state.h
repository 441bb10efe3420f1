// Editor-wide state shared by the editing and cursor commands: overwrite mode, the typing
// preferences, the word character set, the goal column of vertical moves, and the flags that
// link one command to the next (scrolled away by the scroll bar, cursor-key scroll step).
#pragma once

#include "platform/kernel/win_types.h"

// Bits of commandFlags: what the command now running did.
inline constexpr WORD CF_VERTICAL = 0x01;

inline constexpr int MAX_WORD_CHARACTERS = 80;

extern BOOL fOverwrite;                // typed characters replace the one at the dot
extern BOOL fTypingReplacesSelection;  // "&Typing Replaces Selection"
extern BOOL fCutCopyCurrentLine;       // "&Cut/Copy Current Line if No Text is Selected"

extern int goalColumn;          // display column that vertical moves aim for
extern BOOL fPrevVertical;      // the previous command was a vertical move
extern WORD commandFlags;       // CF_ bits of the command now running
extern BOOL fScrolledAway;      // the scroll bar moved the view; the next cursor command reframes
extern int cursorScrollStep;    // lines scrolled by a cursor key at the window's edge
extern BOOL fScrolledByCursor;  // the last command scrolled by a cursor key

// Replaces the word character set (at most MAX_WORD_CHARACTERS are used).
void SetWordCharacters(const char* characters);
const char* WordCharacters();
bool IsWordChar(char c);
inline bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Ends a command: remembers whether it was a vertical move (for the goal column) and clears
// the flags for the next one.
void FinishCommandFlags();
// Back to the state at start-up (tests and a fresh replay).
void ResetCommandState();
