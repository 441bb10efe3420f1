// Shared set-up of the editor core tests: a headless user interface, a fresh temporary folder
// as the state folder, clean editor-wide state, and helpers to build and inspect buffers.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "editor/core/edit_window.h"
#include "editor/core/headless_ui.h"

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A new untitled document holding text ("\n" separates lines), with the dot at its start
    // and the buffer unmodified.
    EditWindow* NewDocument(const std::string& text);
    // A second window on the current window's buffer, made current.
    EditWindow* SecondWindow();
    // A path in the test's folder.
    std::string PathOf(const std::string& name) const { return folder_ + "/" + name; }
    const std::string& Folder() const { return folder_; }

    HeadlessUi ui;

private:
    std::string folder_;
};

// The buffer's lines joined with "\n".
std::string BufferText(const Buffer* buffer);
// Checks links, line count and that every window's positions lie on the buffer's lines and
// within them.
::testing::AssertionResult BufferConsistent(const Buffer* buffer);
// Puts the dot there with the cursor column that the display would show for it.
void PlaceDot(EditWindow* window, DWORD line, WORD offset);
Line* LineAt(const Buffer* buffer, DWORD number);

void WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);
bool Exists(const std::string& path);
// Names in a folder, sorted.
std::string ListFolder(const std::string& folder);
