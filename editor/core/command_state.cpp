#include "editor/core/command_state.h"

#include <cstring>

BOOL fOverwrite = 0;
BOOL fTypingReplacesSelection = 0;
BOOL fCutCopyCurrentLine = 0;
int goalColumn = 0;
BOOL fPrevVertical = 0;
WORD commandFlags = 0;
BOOL fScrolledAway = 0;
int cursorScrollStep = 1;
BOOL fScrolledByCursor = 0;

namespace {

constexpr const char* kDefaultWordCharacters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_";

char wordCharacters[MAX_WORD_CHARACTERS + 1];
bool wordTable[256];
bool wordTableReady = false;

void BuildWordTable() {
    if (wordTableReady) {
        return;
    }
    if (wordCharacters[0] == '\0') {
        std::strncpy(wordCharacters, kDefaultWordCharacters, MAX_WORD_CHARACTERS);
    }
    std::memset(wordTable, 0, sizeof wordTable);
    for (const char* p = wordCharacters; *p != '\0'; ++p) {
        wordTable[static_cast<unsigned char>(*p)] = true;
    }
    wordTableReady = true;
}

}  // namespace

void SetWordCharacters(const char* characters) {
    std::memset(wordCharacters, 0, sizeof wordCharacters);
    std::strncpy(wordCharacters, characters, MAX_WORD_CHARACTERS);
    wordTableReady = false;
    BuildWordTable();
}

const char* WordCharacters() {
    BuildWordTable();
    return wordCharacters;
}

bool IsWordChar(char c) {
    BuildWordTable();
    return wordTable[static_cast<unsigned char>(c)];
}

void FinishCommandFlags() {
    fPrevVertical = (commandFlags & CF_VERTICAL) != 0;
    commandFlags = 0;
}

void ResetCommandState() {
    fOverwrite = 0;
    fTypingReplacesSelection = 0;
    fCutCopyCurrentLine = 0;
    goalColumn = 0;
    fPrevVertical = 0;
    commandFlags = 0;
    fScrolledAway = 0;
    cursorScrollStep = 1;
    fScrolledByCursor = 0;
    SetWordCharacters(kDefaultWordCharacters);
}
