// The saved state file as bytes: header, configuration block, histories and open-file
// records; reading damaged files; reopening a session.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "editor/core/command_state.h"
#include "editor/core/documents.h"
#include "editor/core/editor_paths.h"
#include "editor/core/file_io.h"
#include "editor/core/history_lists.h"
#include "editor/core/lines.h"
#include "editor/core/recent_files.h"
#include "editor/core/search.h"
#include "editor/core/state_file.h"
#include "editor_fixture.h"

namespace {

void Put32(std::string& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<char>(value >> (8 * i));
    }
}

void Put16(std::string& bytes, std::size_t at, std::uint16_t value) {
    bytes[at] = static_cast<char>(value);
    bytes[at + 1] = static_cast<char>(value >> 8);
}

void PutString(std::string& bytes, std::size_t at, const std::string& text) {
    bytes.replace(at, text.size(), text);
}

std::uint32_t Get32(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    }
    return value;
}

class StateFileTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        SetEditorUserId("7");
        ClearHistories();
        std::snprintf(searchState.pattern, sizeof searchState.pattern, "unset");
    }
    void TearDown() override {
        SetEditorUserId(nullptr);
        ClearHistories();
        EditorTest::TearDown();
    }
    std::string StatePath() const { return Folder() + "/state/FV7.EDT"; }
    std::string KeyPath() const { return Folder() + "/state/DEFAULT.KEY"; }

    // The image of a state file holding the default settings and empty histories.
    std::string DefaultImage() const {
        std::string bytes(12288, '\0');
        Put32(bytes, 0, 160);
        Put16(bytes, 132, 256);
        Put32(bytes, 136, 1388);
        Put16(bytes, 140, 2048);
        Put32(bytes, 144, 1280);
        Put16(bytes, 148, 12288);
        Put32(bytes, 152, 140);
        const std::size_t c = 256;
        Put32(bytes, c + 0, 8);
        Put32(bytes, c + 16, 65);
        PutString(bytes, c + 20, KeyPath());
        Put32(bytes, c + 152, 1);
        Put32(bytes, c + 172, 2);
        Put32(bytes, c + 176, 1);
        Put32(bytes, c + 180, 1);
        Put32(bytes, c + 192, 100);
        Put32(bytes, c + 196, 1);
        Put32(bytes, c + 200, 0x80000000u);
        Put32(bytes, c + 208, 0x80000000u);
        Put32(bytes, c + 220, 1);
        PutString(bytes, c + 228, "%f %d");
        PutString(bytes, c + 356, "Page %p");
        Put32(bytes, c + 492, 720);
        Put32(bytes, c + 496, 720);
        return bytes;
    }

    static std::string LastPattern() { return searchState.pattern; }
};

TEST_F(StateFileTest, NameIsUserIdInTheStateFolderAndUnsafeIdsStayInside) {
    char path[PATH_NAME_SIZE];
    ASSERT_TRUE(StateFileName(path, sizeof path));
    EXPECT_EQ(std::string(path), StatePath());
    SetEditorUserId("../../x");
    ASSERT_TRUE(StateFileName(path, sizeof path));
    EXPECT_EQ(std::string(path), Folder() + "/state/FV_._.._.EDT");
    SetEditorUserId("1234567890");
    ASSERT_TRUE(StateFileName(path, sizeof path));
    EXPECT_EQ(std::string(path), Folder() + "/state/FV123456.EDT");
}

TEST_F(StateFileTest, DefaultStateIsWrittenByteForByte) {
    RestoreDefaults();  // no file: defaults
    ASSERT_TRUE(SaveEditorState());
    std::string saved = ReadBytes(StatePath());
    ASSERT_EQ(saved.size(), 12288u);
    std::string expected = DefaultImage();
    for (std::size_t i = 0; i < expected.size(); ++i) {
        ASSERT_EQ(saved[i], expected[i]) << "first difference at offset " << i;
    }
}

TEST_F(StateFileTest, SettingsHistoriesAndRecentFilesRoundTrip) {
    RestoreDefaults();
    editorSettings.tabSize = 4;
    editorSettings.undoLevels = 0;
    editorSettings.frameX = -5;
    editorSettings.autosaveInterval = 5 * 60000;
    searchState.backward = 1;
    editorSettings.typingReplacesSelection = 0;
    editorSettings.findFilesRegularExpression = 1;
    std::snprintf(editorSettings.printerFontFace, sizeof editorSettings.printerFontFace, "Courier");
    AddToRecentFiles("/a/one");
    AddToRecentFiles("/a/two");
    AddToHistory(historyLists[HIST_SEARCH], "needle");
    AddToHistory(historyLists[HIST_SEARCH], "pin");
    AddToHistory(historyLists[HISTORY_LIST_COMPARE_FILE2], "b.scr");
    AddToHistory(historyLists[HISTORY_LIST_PRINT_HEADER], "head");
    ASSERT_TRUE(SaveEditorState());

    std::string saved = ReadBytes(StatePath());
    EXPECT_EQ(Get32(saved, 256 + 156), 300000u);
    EXPECT_EQ(Get32(saved, 256 + 200), 0xFFFFFFFBu);
    EXPECT_EQ(Get32(saved, 256 + 544), 1u);
    EXPECT_EQ(saved.substr(256 + 556, 7), std::string("/a/two\0", 7));
    EXPECT_EQ(saved.substr(256 + 636, 7), std::string("/a/one\0", 7));
    EXPECT_EQ(saved.substr(2048, 5), std::string("head\0", 5)) << "print headers come first";
    EXPECT_EQ(saved.substr(2048 + 2 * 1280, 4), std::string("pin\0", 4));
    EXPECT_EQ(saved.substr(2048 + 2 * 1280 + 128, 7), std::string("needle\0", 7));
    EXPECT_EQ(saved.substr(2048 + 6 * 1280, 6), std::string("b.scr\0", 6));

    ResetEditorSettings();
    ClearHistories();
    searchState.backward = 0;
    fTypingReplacesSelection = 1;
    RestoreDefaults();
    EXPECT_EQ(editorSettings.tabSize, 4);
    EXPECT_EQ(editorSettings.undoLevels, 0);
    EXPECT_EQ(editorSettings.frameX, -5);
    EXPECT_EQ(editorSettings.searchBackwards, 1);
    EXPECT_EQ(searchState.backward, 1) << "the live search state takes the saved switches";
    EXPECT_EQ(fTypingReplacesSelection, 0);
    EXPECT_EQ(editorSettings.findFilesRegularExpression, 1);
    EXPECT_STREQ(editorSettings.printerFontFace, "Courier");
    EXPECT_STREQ(recentFiles[0], "/a/two");
    EXPECT_STREQ(HistoryEntry(historyLists[HIST_SEARCH], 1), "needle");
    EXPECT_STREQ(HistoryEntry(historyLists[HISTORY_LIST_COMPARE_FILE2], 0), "b.scr");
    EXPECT_EQ(LastPattern(), "pin");
}

TEST_F(StateFileTest, PrinterFontSizeFollowsTheLongestFace) {
    RestoreDefaults();
    const std::string face(31, 'F');
    std::snprintf(editorSettings.printerFontFace, sizeof editorSettings.printerFontFace, "%s",
                  face.c_str());
    editorSettings.printerFontSize = 13;
    ASSERT_TRUE(SaveEditorState());
    std::string saved = ReadBytes(StatePath());
    EXPECT_EQ(saved.substr(256 + 500, 32), face + '\0');
    EXPECT_EQ(Get32(saved, 256 + 532), 13u);
    EXPECT_EQ(Get32(saved, 256 + 536), 0u) << "the search flags follow";

    ResetEditorSettings();
    RestoreDefaults();
    EXPECT_EQ(editorSettings.printerFontFace, face);
    EXPECT_EQ(editorSettings.printerFontSize, 13);
}

TEST_F(StateFileTest, DamagedFilesGiveDefaults) {
    std::string image = DefaultImage();
    Put32(image, 256 + 0, 3);
    PutString(image, 2048 + 2 * 1280, "kept");

    std::string wrongSize = image;
    Put32(wrongSize, 136, 1387);
    WriteBytes(StatePath(), wrongSize);
    RestoreDefaults();
    EXPECT_EQ(editorSettings.tabSize, 8) << "a wrong configuration size is ignored whole";
    EXPECT_EQ(LastPattern(), "unset");

    WriteBytes(StatePath(), image.substr(0, 100));
    RestoreDefaults();
    EXPECT_EQ(editorSettings.tabSize, 8);

    WriteBytes(StatePath(), image.substr(0, 1000));
    RestoreDefaults();
    EXPECT_EQ(editorSettings.tabSize, 8) << "short configuration block";

    // Histories cut short: the lists read so far are kept, the search state is not taken.
    WriteBytes(StatePath(), image.substr(0, 2048 + 3 * 1280 + 10));
    RestoreDefaults();
    EXPECT_EQ(editorSettings.tabSize, 3);
    EXPECT_STREQ(HistoryEntry(historyLists[HIST_SEARCH], 0), "kept");
    EXPECT_EQ(LastPattern(), "unset");
}

TEST_F(StateFileTest, FieldsWithoutTerminatorsOrUnusableValuesAreBounded) {
    std::string image = DefaultImage();
    image.replace(256 + 20, 128, std::string(128, 'k'));
    image.replace(256 + 500, 32, std::string(32, 'f'));
    image.replace(2048, 1280, std::string(1280, 'h'));
    Put32(image, 256 + 0, 0);      // tab size 0 would divide by zero
    Put32(image, 256 + 16, 9999);  // right margin
    Put32(image, 256 + 192, 301);  // undo levels
    Put32(image, 256 + 168, 7);    // font
    WriteBytes(StatePath(), image);
    RestoreDefaults();
    EXPECT_EQ(std::strlen(editorSettings.keyFileName), 127u);
    EXPECT_EQ(std::strlen(editorSettings.printerFontFace), 31u);
    EXPECT_EQ(std::strlen(HistoryEntry(historyLists[HISTORY_LIST_PRINT_HEADER], 9)), 127u);
    EXPECT_EQ(editorSettings.tabSize, 8);
    EXPECT_EQ(editorSettings.rightMargin, 65);
    EXPECT_EQ(editorSettings.undoLevels, 100);
    EXPECT_EQ(editorSettings.screenFont, 0);
}

TEST_F(StateFileTest, SaveFailureKeepsTheOldFileAndPrintModeWritesNothing) {
    RestoreDefaults();
    ASSERT_TRUE(SaveEditorState());
    std::string before = ReadBytes(StatePath());
    editorSettings.tabSize = 3;
    editorMode = EditorMode::Print;
    EXPECT_FALSE(SaveEditorState());
    EXPECT_EQ(ReadBytes(StatePath()), before);
    editorMode = EditorMode::Normal;
    editorWriteHook = [](int, const void*, std::size_t) -> ssize_t { return -1; };
    EXPECT_FALSE(SaveEditorState());
    editorWriteHook = nullptr;
    EXPECT_EQ(ReadBytes(StatePath()), before);
    EXPECT_EQ(ListFolder(Folder() + "/state"), "FV7.EDT") << "no temporary file left";
}

class SessionTest : public StateFileTest {
protected:
    std::string MakeFile(const std::string& name, const std::string& text) {
        std::string path = PathOf(name);
        WriteBytes(path, text);
        return path;
    }
};

TEST_F(SessionTest, OpenFilesAreRecordedOnlyWithRestoreSession) {
    RestoreDefaults();
    std::string a = MakeFile("a.scr", "one\r\ntwo\r\nthree\r\n");
    ASSERT_TRUE(OpenDocument(a.c_str(), 1, 2, true));
    ASSERT_TRUE(SaveEditorState());
    EXPECT_EQ(ReadBytes(StatePath()).size(), 12288u);

    editorSettings.restoreSession = 1;
    std::string b = MakeFile("b.scr", "alpha\r\nbeta\r\n");
    ASSERT_TRUE(OpenDocument(b.c_str(), 0, 3, true));
    pwinCurrent->buffer->tabSize = 4;
    pwinCurrent->buffer->options |= BF_WORDWRAP;
    pwinCurrent->buffer->rightMargin = 40;
    pwinCurrent->marking = 1;
    PlaceDot(pwinCurrent, 1, 1);
    pwinCurrent->mark = {LineAt(pwinCurrent->buffer, 0), 2};
    Buffer* bBuffer = pwinCurrent->buffer;
    ASSERT_TRUE(new_file());                     // untitled: no record
    ASSERT_NE(NewEditWindow(bBuffer), nullptr);  // a second window on b: still one record
    SetCurrentWindow(pwinFirst->next);           // b is active
    ASSERT_TRUE(SaveEditorState());

    std::string saved = ReadBytes(StatePath());
    ASSERT_EQ(saved.size(), 12288u + 2 * 140u);
    std::string first = saved.substr(12288, 140);
    std::string second = saved.substr(12288 + 140, 140);
    EXPECT_EQ(first.substr(0, a.size() + 1), a + std::string(1, '\0'));
    EXPECT_EQ(Get32(first, 80), 1u);
    EXPECT_EQ(Get32(first, 84), 2u);
    EXPECT_EQ(Get32(first, 100), 0u);
    EXPECT_EQ(Get32(first, 104), 8u);
    EXPECT_EQ(Get32(first, 116), 65u);
    EXPECT_EQ(second.substr(0, b.size() + 1), b + std::string(1, '\0'));
    EXPECT_EQ(Get32(second, 80), 1u);
    EXPECT_EQ(Get32(second, 84), 1u);
    EXPECT_EQ(Get32(second, 88), 1u);
    EXPECT_EQ(Get32(second, 92), 0u);
    EXPECT_EQ(Get32(second, 96), 2u);
    EXPECT_EQ(Get32(second, 100), 1u);
    EXPECT_EQ(Get32(second, 104), 4u);
    EXPECT_EQ(Get32(second, 112), 1u);
    EXPECT_EQ(Get32(second, 116), 40u);
    EXPECT_EQ(second.substr(124), std::string(16, '\0'));
}

TEST_F(SessionTest, RestoreFilesReopensPositionsSettingsAndTheActiveDocument) {
    RestoreDefaults();
    editorSettings.restoreSession = 1;
    std::string a = MakeFile("a.scr", "one\r\ntwo\r\nthree\r\n");
    std::string b = MakeFile("b.scr", "alpha\r\nbeta\r\n");
    std::string gone = MakeFile("gone.scr", "x\r\n");
    ASSERT_TRUE(OpenDocument(a.c_str(), 2, 4, true));
    ASSERT_TRUE(OpenDocument(gone.c_str(), 0, 0, true));
    ASSERT_TRUE(OpenDocument(b.c_str(), 1, 2, true));
    pwinCurrent->marking = 1;
    pwinCurrent->mark = {LineAt(pwinCurrent->buffer, 0), 5};
    pwinCurrent->buffer->tabSize = 3;
    SetCurrentWindow(pwinFirst);
    ASSERT_TRUE(SaveEditorState());
    std::string saved = ReadBytes(StatePath());
    Put32(saved, 12288 + 2 * 140 + 104, 99);  // tab spacing out of range becomes 8
    WriteBytes(StatePath(), saved);
    while (pwinFirst != nullptr) {
        FreeEditWindow(pwinFirst);
    }
    SetCurrentWindow(nullptr);
    std::remove(gone.c_str());

    ASSERT_EQ(RestoreFiles(), 1);
    ASSERT_NE(pwinFirst, nullptr);
    ASSERT_NE(pwinFirst->next, nullptr);
    EXPECT_EQ(pwinFirst->next->next, nullptr) << "the missing file is skipped";
    EXPECT_EQ(std::string(pwinCurrent->buffer->pathName), a) << "a was active";
    EditWindow* bw = pwinFirst->next;
    RenumberLines();
    EXPECT_EQ(bw->dot.lpln, LineAt(bw->buffer, 1));
    EXPECT_EQ(bw->dot.offset, 2);
    EXPECT_TRUE(bw->marking);
    EXPECT_EQ(bw->mark.lpln, LineAt(bw->buffer, 0));
    EXPECT_EQ(bw->mark.offset, 5);
    EXPECT_EQ(bw->buffer->tabSize, 8);
    EXPECT_EQ(pwinFirst->dot.offset, 4);

    // Files already open are not opened again; a damaged header reads nothing.
    ASSERT_EQ(RestoreFiles(), 1);
    EXPECT_EQ(pwinFirst->next->next, nullptr);
    Put32(saved, 152, 139);
    WriteBytes(StatePath(), saved);
    EXPECT_EQ(RestoreFiles(), 0);
}

TEST_F(SessionTest, RecordsNamingDevicesFoldersOrNothingAreSkipped) {
    RestoreDefaults();
    std::string image = DefaultImage();
    for (const std::string& name : {std::string("/dev/zero"), Folder(), std::string()}) {
        std::string record(140, '\0');
        record.replace(0, name.size(), name);
        image += record;
    }
    WriteBytes(StatePath(), image);
    EXPECT_EQ(RestoreFiles(), 1);
    EXPECT_EQ(pwinFirst, nullptr);
}

}  // namespace
