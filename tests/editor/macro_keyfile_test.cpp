// Keyboard configuration files as bytes, in both formats, with damaged input; the keystroke
// macro recorded and played through the document input.
#include <gtest/gtest.h>

#include <string>

#include "editor/core/document_input.h"
#include "editor/core/editor_settings.h"
#include "editor/core/file_io.h"
#include "editor/core/key_file.h"
#include "editor/core/key_table.h"
#include "editor/core/macro.h"
#include "editor/core/undo.h"
#include "editor_fixture.h"

namespace {

std::string Field(const std::string& text, std::size_t size) {
    std::string field = text;
    field.resize(size, '\0');
    return field;
}

std::string Header(const char* signature, std::uint32_t mode) {
    std::string bytes = Field(signature, 18);
    for (int i = 0; i < 4; ++i) {
        bytes += static_cast<char>(mode >> (8 * i));
    }
    return bytes;
}

class KeyFileTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        editorSettings.keyboardMode = 1;
        ApplyKeyboardMode();
        ResetKeyTable();
        ResetMacro();
    }
    void TearDown() override {
        editorSettings.keyboardMode = 1;
        ApplyKeyboardMode();
        ResetKeyTable();
        ResetMacro();
        EditorTest::TearDown();
    }
    static std::string CommandOf(const char* key) {
        KeySlot* slot = FindKeySlot(key);
        return slot != nullptr ? CommandNameOf(slot->command) : "<no slot>";
    }
    static WORD IdOf(const char* key) { return FindKeySlot(key)->id; }
};

TEST_F(KeyFileTest, SavedFileHoldsModeAndBoundSlotsInSlotOrder) {
    for (KeySlot* slot = keyTable; slot->id != 0; ++slot) {
        slot->command = nullptr;
    }
    AssignKey("Up", "cursor_up");
    AssignKey("Alt+0", "tile");
    AssignKey("Shift+Ctrl+PgUp", "select_all");
    editorSettings.keyboardMode = 0;
    std::string path = PathOf("mine.key");
    ASSERT_TRUE(SaveKeyFile(path.c_str()));
    std::string expected = Header("Quillpad 2.0", 0) + Field("Alt+0", 48) + Field("tile", 48) +
                           Field("Shift+Ctrl+PgUp", 48) + Field("select_all", 48) +
                           Field("Up", 48) + Field("cursor_up", 48);
    EXPECT_EQ(ReadBytes(path), expected);
    EXPECT_TRUE(ui.StatusShowed("Write successful"));
}

TEST_F(KeyFileTest, DefaultTableRoundTrips) {
    std::string path = PathOf("default.key");
    ASSERT_TRUE(SaveKeyFile(path.c_str()));
    EXPECT_EQ(ReadBytes(path).size(), 22u + 77u * 96u);
    for (KeySlot* slot = keyTable; slot->id != 0; ++slot) {
        slot->command = nullptr;
    }
    ASSERT_TRUE(LoadKeyFile(path.c_str(), true));
    EXPECT_EQ(CommandOf("Shift+F2"), "stamp");
    EXPECT_EQ(CommandOf("Num -"), "cut");
    ASSERT_TRUE(SaveKeyFile(PathOf("again.key").c_str()));
    EXPECT_EQ(ReadBytes(PathOf("again.key")), ReadBytes(path));
}

TEST_F(KeyFileTest, OlderFormatLoadsAndIsSavedInTheCurrentOne) {
    std::string old = Header("Lowtide Editor", 1) + Field("Ctrl+Q", 18) + Field("select_word", 32) +
                      Field("F9", 18) + Field("tile", 32) + Field("F10", 18) +
                      Field("no_such_command", 32) + Field("Ctrl+", 10);
    std::string path = PathOf("old.key");
    WriteBytes(path, old);
    ASSERT_TRUE(LoadKeyFile(path.c_str(), true));
    EXPECT_EQ(CommandOf("Ctrl+Q"), "select_word");
    EXPECT_EQ(CommandOf("F9"), "tile");
    EXPECT_EQ(CommandOf("F10"), "") << "unknown command skipped";
    EXPECT_EQ(CommandOf("Up"), "") << "the load clears every slot first";
    ASSERT_TRUE(SaveKeyFile(path.c_str()));
    std::string expected = Header("Quillpad 2.0", 1) + Field("Ctrl+Q", 48) +
                           Field("select_word", 48) + Field("F9", 48) + Field("tile", 48);
    EXPECT_EQ(ReadBytes(path), expected);
}

TEST_F(KeyFileTest, MenuLetterBindingsAreLostWhenLoadedWithMenuAcceleratorsOn) {
    editorSettings.keyboardMode = 0;
    ApplyKeyboardMode();
    AssignKey("Alt+E", "tile");
    AssignKey("Alt+W", "select_word");
    AssignKey("Alt+G", "goto_line");
    std::string path = PathOf("plain.key");
    ASSERT_TRUE(SaveKeyFile(path.c_str()));

    editorSettings.keyboardMode = 1;
    ApplyKeyboardMode();
    ASSERT_TRUE(LoadKeyFile(path.c_str(), true));
    EXPECT_EQ(editorSettings.keyboardMode, 0) << "the file's mode, applied later";
    EXPECT_EQ(CommandOf("Alt+G"), "goto_line");
    ApplyKeyboardMode();
    EXPECT_EQ(CommandOf("Alt+E"), "") << "Alt+E had no name while the file was read";
    EXPECT_EQ(CommandOf("Alt+W"), "");
}

TEST_F(KeyFileTest, BadFilesAreReportedAndKeepTheTable) {
    std::string path = PathOf("bad.key");
    EXPECT_FALSE(LoadKeyFile(path.c_str(), false));
    EXPECT_TRUE(ui.messages.empty()) << "a missing file is reported only when asked";
    EXPECT_FALSE(LoadKeyFile(path.c_str(), true));
    EXPECT_TRUE(ui.Showed("File does not exist"));
    EXPECT_FALSE(LoadKeyFile("", true));

    for (const std::string& bytes : {std::string("Quillpad"), Header("Quillpad 2.1", 1),
                                     std::string(18, 'Q') + std::string(4, '\0')}) {
        ui.Clear();
        WriteBytes(path, bytes);
        EXPECT_FALSE(LoadKeyFile(path.c_str(), true));
        EXPECT_TRUE(ui.Showed("Invalid keyboard configuration file"));
        EXPECT_EQ(CommandOf("Up"), "cursor_up") << "the table is untouched";
    }

    // Names without terminators are read within their fields; a record cut short keeps the
    // records before it.
    std::string unterminated = Header("Quillpad 2.0", 1) + Field("F9", 48) + Field("tile", 48) +
                               std::string(48, 'K') + std::string(48, 'C') + Field("F11", 48) +
                               Field("tile", 20);
    WriteBytes(path, unterminated);
    ui.Clear();
    ASSERT_TRUE(LoadKeyFile(path.c_str(), true));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(CommandOf("F9"), "tile");
    EXPECT_EQ(CommandOf("F11"), "");
}

TEST_F(KeyFileTest, ASignatureWithoutAFullModeClearsTheTable) {
    // A valid signature is a key file: the table is cleared, and with the mode cut short
    // there is no mode to take and no record to read.
    std::string path = PathOf("short.key");
    for (std::size_t size : {18u, 20u}) {
        ResetKeyTable();
        editorSettings.keyboardMode = 0;
        ui.Clear();
        WriteBytes(path, Header("Quillpad 2.0", 1).substr(0, size));
        EXPECT_TRUE(LoadKeyFile(path.c_str(), true)) << size;
        EXPECT_TRUE(ui.messages.empty()) << size;
        EXPECT_EQ(CommandOf("Up"), "") << size;
        EXPECT_EQ(editorSettings.keyboardMode, 0) << size;
    }
}

TEST_F(KeyFileTest, FailedWriteWarnsAndLeavesTheOldFile) {
    std::string path = PathOf("keep.key");
    WriteBytes(path, "old content");
    editorWriteHook = [](int, const void*, std::size_t) -> ssize_t { return -1; };
    EXPECT_FALSE(SaveKeyFile(path.c_str()));
    editorWriteHook = nullptr;
    EXPECT_TRUE(ui.Showed("Unable to write keyboard configuration file."));
    EXPECT_EQ(ReadBytes(path), "old content");
    EXPECT_EQ(ListFolder(Folder()), "keep.key state");
    EXPECT_FALSE(SaveKeyFile(PathOf("no/such/folder.key").c_str()));
    EXPECT_FALSE(ui.StatusShowed("Write successful"));
}

class MacroTest : public KeyFileTest {
protected:
    void Command(const char* key) { HandleDocumentInput(MACRO_WM_COMMAND, IdOf(key), 0); }
    void Char(char c) { HandleDocumentInput(MACRO_WM_CHAR, static_cast<unsigned char>(c), 1); }
};

TEST_F(MacroTest, RecordThreeCharactersAndPlayThemBack) {
    EditWindow* window = NewDocument("");
    EXPECT_STREQ(RecordMacroItemText(), "Record &Macro");
    EXPECT_FALSE(PlayMacroItemEnabled());
    Command("F8");
    EXPECT_TRUE(ui.StatusShowed("No macro defined"));
    Command("F7");
    EXPECT_TRUE(macro.recording);
    EXPECT_STREQ(RecordMacroItemText(), "&Stop Recording Macro");
    Char('a');
    Char('b');
    Char('c');
    Command("F7");
    EXPECT_FALSE(macro.recording);
    EXPECT_EQ(macro.length, 3);
    EXPECT_TRUE(ui.StatusShowed("Keyboard macro defined"));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(macro.messages[i].message, MACRO_WM_CHAR);
        EXPECT_EQ(macro.messages[i].lParam, 1u);
    }
    EXPECT_EQ(BufferText(window->buffer), "abc");
    window->redraw = 0;
    Command("F8");
    EXPECT_EQ(BufferText(window->buffer), "abcabc");
    EXPECT_FALSE(macro.playing);
    EXPECT_FALSE(fMacroPlayback);
    EXPECT_TRUE(window->redraw & RD_ALL);
    EXPECT_TRUE(PlayMacroItemEnabled());
}

TEST_F(MacroTest, CommandsAreRecordedAndNestedRequestsIgnored) {
    EditWindow* window = NewDocument("xy");
    Command("F7");
    Command("Right");
    Char('-');
    Command("F8");  // play while recording: ignored, but recorded
    Command("F7");
    ASSERT_EQ(macro.length, 3);
    EXPECT_EQ(macro.messages[0].message, MACRO_WM_COMMAND);
    EXPECT_EQ(BufferText(window->buffer), "x-y");
    Command("F8");
    EXPECT_EQ(BufferText(window->buffer), "x-y-") << "the recorded F8 did not play again";
    HandleDocumentInput(0x0200, 0, 0);  // other messages are not recorded
    EXPECT_EQ(macro.count, 4);
}

TEST_F(MacroTest, FullBufferKeepsTheFirst255Messages) {
    EditWindow* window = NewDocument("");
    Command("F7");
    for (int i = 0; i < 300; ++i) {
        Char(static_cast<char>('a' + i % 26));
    }
    EXPECT_FALSE(macro.recording);
    EXPECT_EQ(macro.length, 255);
    EXPECT_TRUE(ui.StatusShowed("Macro buffer full; macro definition terminated"));
    std::string typed = BufferText(window->buffer);
    EXPECT_EQ(typed.size(), 300u);
    PlaceDot(window, 0, 0);
    ResetUndo(window->buffer);
    Command("F8");
    EXPECT_EQ(BufferText(window->buffer).substr(0, 255), typed.substr(0, 255));
    EXPECT_EQ(BufferText(window->buffer).size(), 555u);
}

TEST_F(MacroTest, StoppingWithTheMessageThatFillsTheBufferKeepsTheMacro) {
    NewDocument("");
    Command("F7");
    for (int i = 0; i < 255; ++i) {
        Char('x');
    }
    Command("F7");  // the 256th message: the buffer is full and the recording ends
    EXPECT_FALSE(macro.recording) << "no new, empty recording starts";
    EXPECT_EQ(macro.length, 255);
    Char('y');
    Command("F7");
    EXPECT_TRUE(macro.recording) << "the next F7 starts recording again";
}

TEST_F(MacroTest, PlaybackStopsWhenNoDocumentIsLeft) {
    static int sent = 0;
    sent = 0;
    NewDocument("");
    Command("F7");
    Char('a');
    Char('b');
    Command("F7");
    auto saved = sendToDocument;
    sendToDocument = [](UINT, WPARAM, LPARAM) {
        ++sent;
        SetCurrentWindow(nullptr);
    };
    play_macro();
    sendToDocument = saved;
    EXPECT_EQ(sent, 1);
    EXPECT_FALSE(macro.playing);
}

}  // namespace
