// The key table: slot order and ids, default bindings, key names, the accelerator tables of
// the keyboard modes, assignment and key command dispatch.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>

#include "editor/core/editor_settings.h"
#include "editor/core/key_table.h"
#include "editor_fixture.h"

namespace {

class KeyTableTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        editorSettings.keyboardMode = 1;
        ApplyKeyboardMode();
        ResetKeyTable();
    }
    void TearDown() override {
        editorMode = EditorMode::Normal;
        editorSettings.keyboardMode = 1;
        ApplyKeyboardMode();
        ResetKeyTable();
        typeCharacter = savedTypeCharacter_;
        EditorTest::TearDown();
    }
    void (*savedTypeCharacter_)(char) = typeCharacter;
    static std::string CommandOf(const char* key) {
        KeySlot* slot = FindKeySlot(key);
        return slot != nullptr ? CommandNameOf(slot->command) : "<no slot>";
    }
};

TEST_F(KeyTableTest, SlotsAreInListOrderWithUniqueIdsInRange) {
    EXPECT_EQ(keyTable[KEY_SLOT_COUNT].id, 0);
    std::set<WORD> ids;
    for (int i = 0; i < KEY_SLOT_COUNT; ++i) {
        EXPECT_GE(keyTable[i].id, 2100);
        EXPECT_LE(keyTable[i].id, 2513);
        EXPECT_TRUE(ids.insert(keyTable[i].id).second) << "duplicate id at slot " << i;
    }
    ASSERT_EQ(ids.size(), 187u);
    EXPECT_STREQ(keyTable[0].keyName, "") << "the first slot has no key";
    EXPECT_STREQ(keyTable[1].keyName, "Alt+0");
    EXPECT_STREQ(keyTable[11].keyName, "Alt+Shift+,");
    EXPECT_STREQ(keyTable[12].keyName, "Alt+=");
    EXPECT_STREQ(keyTable[13].keyName, "Alt+Shift+.");
    EXPECT_STREQ(keyTable[KEY_SLOT_COUNT - 1].keyName, "Up");
    EXPECT_STREQ(keyTable[KEY_SLOT_COUNT - 2].keyName, "Tab");
    EXPECT_STREQ(keyTable[KEY_SLOT_COUNT - 3].keyName, "Shift+Up");

    // The names, read in slot order, follow the key list.
    std::vector<std::string> names;
    for (int i = 0; i < KEY_SLOT_COUNT; ++i) {
        names.push_back(keyTable[i].keyName);
    }
    auto at = [&](const std::string& name) {
        return std::find(names.begin(), names.end(), name) - names.begin();
    };
    EXPECT_LT(at("Alt+]"), at("Backspace"));
    EXPECT_LT(at("Backspace"), at("Ctrl+-"));
    EXPECT_LT(at("Ctrl+S"), at("Shift+Ctrl+End"));
    EXPECT_LT(at("Shift+Ctrl+Right"), at("Ctrl+T"));
    EXPECT_LT(at("F12"), at("Num *"));
    EXPECT_LT(at("Num -"), at("Home"));
    EXPECT_EQ(SlotForId(ID_NUM_ADD), FindKeySlot("Num +"));
}

TEST_F(KeyTableTest, DefaultBindings) {
    EXPECT_EQ(CommandOf("Alt+Backspace"), "undo");
    EXPECT_EQ(CommandOf("Ctrl+F10"), "zoom_window");
    EXPECT_EQ(CommandOf("Shift+Ctrl+Home"), "select_to_top");
    EXPECT_EQ(CommandOf("Shift+F2"), "stamp");
    EXPECT_EQ(CommandOf("F7"), "record_macro");
    EXPECT_EQ(CommandOf("Num *"), "undo");
    EXPECT_EQ(CommandOf("Up"), "cursor_up");
    EXPECT_EQ(CommandOf("ctrl+z"), "undo") << "key names match without case";
    EXPECT_EQ(CommandOf("Alt+A"), "");
    EXPECT_EQ(CommandOf("Shift+Tab"), "");
    int bound = 0;
    for (int i = 0; i < KEY_SLOT_COUNT; ++i) {
        bound += keyTable[i].command != nullptr;
    }
    EXPECT_EQ(bound, 77);
}

TEST_F(KeyTableTest, AcceleratorTablesOfTheKeyboardModes) {
    const std::vector<KeyAccel>& all = AcceleratorTable(ACCEL_NO_MNEMONICS);
    const std::vector<KeyAccel>& menus = AcceleratorTable(ACCEL_MENU_MNEMONICS);
    const std::vector<KeyAccel>& builder = AcceleratorTable(ACCEL_SCRIPT_BUILDER);
    EXPECT_EQ(all.size(), 186u);
    EXPECT_EQ(menus.size(), 180u);
    EXPECT_EQ(builder.size(), 179u);
    for (const auto* table : {&all, &menus, &builder}) {
        EXPECT_TRUE(table->back().flags & KF_LAST_ENTRY);
        for (std::size_t i = 0; i + 1 < table->size(); ++i) {
            EXPECT_FALSE((*table)[i].flags & KF_LAST_ENTRY);
            EXPECT_TRUE((*table)[i].flags & KF_VIRTKEY);
        }
    }
    EXPECT_STREQ(FindKeySlot("Alt+T")->keyName, "Alt+T");
    EXPECT_EQ(FindKeySlot("Alt+E"), nullptr) << "Alt+E opens the Edit menu";

    editorSettings.keyboardMode = 0;
    KeyboardModeSelection seen{};
    installKeyboardMode = [](const KeyboardModeSelection&) {};
    ApplyKeyboardMode();
    EXPECT_EQ(CurrentAcceleratorTable(), ACCEL_NO_MNEMONICS);
    EXPECT_NE(FindKeySlot("Alt+E"), nullptr);
    seen = SelectKeyboardMode(0);
    EXPECT_EQ(seen.noDocumentMenu, 2);
    EXPECT_EQ(seen.documentMenu, 4);

    editorMode = EditorMode::ScriptBuilder;
    editorSettings.keyboardMode = 1;
    ApplyKeyboardMode();
    installKeyboardMode = nullptr;
    EXPECT_EQ(CurrentAcceleratorTable(), ACCEL_SCRIPT_BUILDER);
    EXPECT_EQ(FindKeySlot("Alt+T"), nullptr);
    seen = SelectKeyboardMode(1);
    EXPECT_EQ(seen.noDocumentMenu, 1);
    EXPECT_EQ(seen.documentMenu, 3);
}

TEST_F(KeyTableTest, KeyNamesNameExtendedAndKeypadKeys) {
    EXPECT_EQ(KeyNameText(KF_SHIFT | KF_CONTROL | KF_ALT, KEY_NEXT), "Alt+Shift+Ctrl+PgDn");
    EXPECT_EQ(KeyNameText(0, KEY_NUMPAD0 + 7), "Num 7");
    EXPECT_EQ(KeyNameText(0, KEY_DECIMAL), "Num .");
    EXPECT_EQ(KeyNameText(KF_CONTROL, KEY_OEM_MINUS), "Ctrl+-");
    EXPECT_EQ(KeyNameText(KF_ALT, 0x07), "") << "a key without a name";
}

TEST_F(KeyTableTest, AssignAndUnassign) {
    EXPECT_EQ(AssignKey("Alt+A", "tile"), 1);
    EXPECT_EQ(CommandOf("Alt+A"), "tile");
    EXPECT_EQ(AssignKey("alt+b", "TILE"), 1) << "both names match without case";
    EXPECT_EQ(AssignKey("Alt+B", "test_batch"), 0) << "test_batch has no command";
    EXPECT_EQ(AssignKey("Alt+B", "no_such"), 0);
    EXPECT_EQ(AssignKey("Hyper+Q", "tile"), 0);
    EXPECT_EQ(AssignKey("", "tile"), 0);
    EXPECT_EQ(AssignKey("Alt+B", ""), 0);
    EXPECT_EQ(CommandOf("Alt+B"), "tile");
    std::vector<std::string> keys = KeysOfCommand(FindCommandByName("tile"));
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys[0], "Alt+A");
    UnassignKey("ALT+A");
    EXPECT_EQ(CommandOf("Alt+A"), "");
    UnassignKey("nothing");
}

TEST_F(KeyTableTest, DispatchRunsTheSlotsCommandOrTypesKeypadCharacters) {
    static int runs = 0;
    static std::string typed;
    runs = 0;
    typed.clear();
    ASSERT_EQ(SetCommandFunction("tile", [] { ++runs; }), 1);
    typeCharacter = [](char c) { typed += c; };
    AssignKey("Alt+A", "tile");
    EXPECT_EQ(DispatchKeyCommand(FindKeySlot("Alt+A")->id), 1);
    EXPECT_EQ(runs, 1);

    UnassignKey("Num +");
    UnassignKey("Num *");
    EXPECT_EQ(DispatchKeyCommand(ID_NUM_ADD), 1);
    EXPECT_EQ(DispatchKeyCommand(ID_NUM_MULTIPLY), 1);
    EXPECT_EQ(DispatchKeyCommand(ID_NUM_DIVIDE), 1);
    EXPECT_EQ(typed, "+*/");
    EXPECT_EQ(DispatchKeyCommand(FindKeySlot("Alt+Q")->id), 1) << "an unbound key does nothing";
    EXPECT_EQ(typed, "+*/");
    EXPECT_EQ(DispatchKeyCommand(1999), 0);
    EXPECT_EQ(DispatchKeyCommand(3000), 0);
    EXPECT_EQ(runs, 1);
}

TEST_F(KeyTableTest, CommandTableNames) {
    EXPECT_STREQ(CommandNameOf(CommandAt(0)), "about");
    EXPECT_STREQ(CommandNameOf(CommandAt(COMMAND_COUNT - 1)), "zoom_window");
    EXPECT_EQ(CommandAt(COMMAND_COUNT), nullptr);
    EXPECT_EQ(FindCommandByName("test_batch"), nullptr);
    EXPECT_NE(CommandAt(75), nullptr);
    EXPECT_STREQ(CommandAt(75)->name, "test_batch");
    EXPECT_EQ(FindCommandByName("Select_Word"), CommandAt(69));
    EXPECT_STREQ(CommandNameOf(nullptr), "");
    EXPECT_EQ(SetCommandFunction("test_batch", [] {}), 0);
    EXPECT_EQ(SetCommandFunction("unknown", [] {}), 0);
    for (int i = 0; i < COMMAND_COUNT; ++i) {
        EXPECT_LT(std::strlen(CommandAt(i)->name), COMMAND_NAME_SIZE);
    }
}

TEST_F(KeyTableTest, PlaceholderBeepsAndSaysSo) {
    const EditorCommand* about = FindCommandByName("exit_windows");
    ASSERT_TRUE(CommandIsPlaceholder(about));
    RunCommand(about);
    EXPECT_EQ(ui.beeps, 1);
    EXPECT_TRUE(ui.StatusShowed("Command not available"));
}

}  // namespace
