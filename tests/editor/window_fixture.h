// Shared set-up of the editor window tests: the editor started on the headless backend in a
// fresh temporary folder, and helpers that act as the user (keys through the editor's message
// loop and accelerators, mouse messages, menu commands) and read what the windows show.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "editor/ui/ui_state.h"
#include "platform/ui/headless_backend.h"

class EditorWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the editor with the command line; false when start-up failed.
    bool Start(const std::string& commandLine = "");
    // Ends the editor as the program does and forgets every window (Start may follow).
    void Stop();
    // Runs the editor's message loop until no message is waiting.
    void Pump();
    // Presses and releases a key (with modifiers), then pumps.
    void Key(WORD virtualKey, farvane::ui::KeyModifiers modifiers = {});
    // Types the characters as key presses (letters, digits, blanks; '\n' presses Enter).
    void Type(const std::string& text);
    // Mouse messages at a text cell of the current document window (row, column of the grid:
    // column 0 is the left margin).
    void Click(int row, int column, bool shift = false);
    void Drag(int row, int column);
    void Release(int row, int column);
    void Command(UINT id);

    HWND CurrentDocument() const;
    // The grid rows of the current document window, trailing blanks removed.
    std::string Row(int row) const;
    std::string StatusText() const;
    // Whether the cell is drawn with the highlight colour.
    bool Highlighted(int row, int column) const;
    std::string PathOf(const std::string& name) const { return folder_ + "/" + name; }
    std::string MenuTitles() const;

    farvane::ui::HeadlessBackend* backend = nullptr;

private:
    std::string folder_;
    bool started_ = false;
};

void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);
