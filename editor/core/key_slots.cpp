#include "editor/core/key_slots.h"

#include <cstring>

#include "editor/core/key_names.h"
#include "editor/core/key_table.h"

namespace {

constexpr BYTE kAlt = KF_ALT;
constexpr BYTE kCtrl = KF_CONTROL;
constexpr BYTE kShift = KF_SHIFT;
constexpr BYTE kAltShift = KF_ALT | KF_SHIFT;
constexpr BYTE kShiftCtrl = KF_SHIFT | KF_CONTROL;

struct Binding {
    BYTE flags;
    WORD key;
    const char* command;
};

// Default bindings; every other slot starts without a command.
constexpr Binding kDefaults[] = {
    {kAlt, KEY_BACK, "undo"},
    {kAlt, 'D', "delete_line"},
    {kAlt, 'K', "delete_to_eol"},
    {kAlt, 'N', "next_window"},
    {kAlt, 'P', "print"},
    {kAlt, 'R', "batch_help"},
    {kAlt, 'V', "about"},
    {kAlt, 'X', "save_all_exit"},
    {0, KEY_BACK, "backspace"},
    {kCtrl, 'A', "find_again"},
    {kCtrl, 'B', "to_bottom"},
    {kCtrl, KEY_BACK, "delete_word_left"},
    {kCtrl, 'C', "copy"},
    {kCtrl, KEY_DELETE, "delete_word_right"},
    {kCtrl, KEY_DOWN, "window_up"},
    {kCtrl, KEY_END, "end_of_buffer"},
    {kCtrl, 'F', "find_files_containing"},
    {kCtrl, KEY_F1 + 3, "close_window"},
    {kCtrl, KEY_F1 + 4, "restore_window"},
    {kCtrl, KEY_F1 + 5, "next_window"},
    {kCtrl, KEY_F1 + 9, "zoom_window"},
    {kCtrl, 'G', "goto_line"},
    {kCtrl, KEY_HOME, "beginning_of_buffer"},
    {kCtrl, KEY_INSERT, "copy"},
    {kCtrl, 'L', "list_files_containing"},
    {kCtrl, KEY_LEFT, "word_left"},
    {kCtrl, 'N', "split_line"},
    {kCtrl, KEY_NEXT, "bottom_of_window"},
    {kCtrl, KEY_PRIOR, "top_of_window"},
    {kCtrl, 'R', "replace"},
    {kCtrl, KEY_RIGHT, "word_right"},
    {kCtrl, 'S', "find"},
    {kShiftCtrl, KEY_END, "select_to_end"},
    {kShiftCtrl, KEY_HOME, "select_to_top"},
    {kShiftCtrl, KEY_LEFT, "select_word_left"},
    {kShiftCtrl, KEY_RIGHT, "select_word_right"},
    {kCtrl, 'T', "to_top"},
    {kCtrl, KEY_UP, "window_down"},
    {kCtrl, 'V', "paste"},
    {kCtrl, 'W', "toggle_wordwrap"},
    {kCtrl, 'X', "cut"},
    {kCtrl, 'Z', "undo"},
    {0, KEY_DELETE, "delete"},
    {0, KEY_DOWN, "cursor_down"},
    {0, KEY_END, "end_of_line"},
    {0, KEY_RETURN, "enter"},
    {0, KEY_ESCAPE, "unmark_block"},
    {0, KEY_F1, "editor_help"},
    {0, KEY_F1 + 1, "save_file"},
    {0, KEY_F1 + 2, "open_file"},
    {0, KEY_F1 + 3, "document_preferences"},
    {0, KEY_F1 + 6, "record_macro"},
    {0, KEY_F1 + 7, "play_macro"},
    {0, KEY_F1 + 11, "wrap_para"},
    {0, KEY_MULTIPLY, "undo"},
    {0, KEY_ADD, "copy"},
    {0, KEY_SUBTRACT, "cut"},
    {0, KEY_HOME, "beginning_of_line"},
    {0, KEY_INSERT, "toggle_insert"},
    {0, KEY_LEFT, "cursor_left"},
    {0, KEY_PRIOR, "page_up"},
    {0, KEY_NEXT, "page_down"},
    {0, KEY_RIGHT, "cursor_right"},
    {kShift, KEY_BACK, "backspace"},
    {kShift, KEY_DELETE, "cut"},
    {kShift, KEY_DOWN, "select_line_down"},
    {kShift, KEY_END, "select_to_eol"},
    {kShift, KEY_F1 + 1, "stamp"},
    {kShift, KEY_HOME, "select_to_bol"},
    {kShift, KEY_INSERT, "paste"},
    {kShift, KEY_LEFT, "select_char_left"},
    {kShift, KEY_NEXT, "select_page_down"},
    {kShift, KEY_PRIOR, "select_page_up"},
    {kShift, KEY_RIGHT, "select_char_right"},
    {kShift, KEY_UP, "select_line_up"},
    {0, KEY_TAB, "tab_right"},
    {0, KEY_UP, "cursor_up"},
};

class SlotListBuilder {
public:
    void Add(BYTE flags, WORD key) { slots_.push_back({flags, key, 0, nullptr}); }
    void AddRange(BYTE flags, WORD first, WORD last) {
        for (WORD key = first; key <= last; ++key) {
            Add(flags, key);
        }
    }
    void AddEach(BYTE flags, std::initializer_list<WORD> keys) {
        for (WORD key : keys) {
            Add(flags, key);
        }
    }
    std::vector<KeySlotDefinition> Finish();

private:
    std::vector<KeySlotDefinition> slots_;
};

// Ids run from 2100 in slot order; the keypad's *, + and - keep the ids that type their
// characters.
std::vector<KeySlotDefinition> SlotListBuilder::Finish() {
    for (std::size_t i = 0; i < slots_.size(); ++i) {
        KeySlotDefinition& slot = slots_[i];
        slot.id = static_cast<WORD>(2100 + i);
        if (slot.flags == 0 && slot.key == KEY_MULTIPLY) {
            slot.id = ID_NUM_MULTIPLY;
        } else if (slot.flags == 0 && slot.key == KEY_ADD) {
            slot.id = ID_NUM_ADD;
        } else if (slot.flags == 0 && slot.key == KEY_SUBTRACT) {
            slot.id = ID_NUM_SUBTRACT;
        }
        for (const Binding& binding : kDefaults) {
            if (binding.flags == slot.flags && binding.key == slot.key && slot.key != 0) {
                slot.defaultCommand = binding.command;
            }
        }
    }
    return slots_;
}

constexpr WORD F(int n) {
    return static_cast<WORD>(KEY_F1 + n - 1);
}

std::vector<KeySlotDefinition> BuildSlots() {
    SlotListBuilder b;
    b.Add(0, 0);
    b.AddRange(kAlt, '0', '9');
    b.Add(kAltShift, KEY_OEM_COMMA);
    b.Add(kAlt, KEY_OEM_PLUS);
    b.Add(kAltShift, KEY_OEM_PERIOD);
    b.AddEach(kAlt, {'A', 'B', KEY_BACK, 'C', 'D', KEY_DOWN, 'E', KEY_END, KEY_RETURN, 'F', F(1),
                     F(2), F(3)});
    b.AddRange(kAlt, F(5), F(12));
    b.AddEach(kAlt, {'G',
                     'H',
                     KEY_HOME,
                     'I',
                     'J',
                     'K',
                     'L',
                     KEY_LEFT,
                     'M',
                     'N',
                     'O',
                     'P',
                     'Q',
                     'R',
                     KEY_RIGHT,
                     'S',
                     'T',
                     'U',
                     KEY_UP,
                     'V',
                     'W',
                     'X',
                     'Y',
                     'Z',
                     KEY_OEM_LBRACKET,
                     KEY_OEM_RBRACKET});
    b.Add(0, KEY_BACK);
    b.AddEach(kCtrl, {KEY_OEM_MINUS});
    b.AddRange(kCtrl, '0', '9');
    b.Add(kShiftCtrl, KEY_OEM_COMMA);
    b.Add(kCtrl, KEY_OEM_PLUS);
    b.Add(kShiftCtrl, KEY_OEM_PERIOD);
    b.AddEach(kCtrl,
              {'A', 'B', KEY_BACK, 'C', 'D', KEY_DELETE, KEY_DOWN, 'E', KEY_END, KEY_RETURN, 'F'});
    b.AddRange(kCtrl, F(1), F(12));
    b.AddEach(kCtrl, {'G', 'H', KEY_HOME, 'I', KEY_INSERT, 'J', 'K', 'L', KEY_LEFT, 'M', 'N', 'O',
                      'P', KEY_NEXT, KEY_PRIOR, 'Q', 'R', KEY_RIGHT, 'S'});
    b.AddEach(kShiftCtrl, {KEY_END, KEY_HOME, KEY_LEFT, KEY_NEXT, KEY_PRIOR, KEY_RIGHT});
    b.AddEach(kCtrl,
              {'T', 'U', KEY_UP, 'V', 'W', 'X', 'Y', 'Z', KEY_OEM_LBRACKET, KEY_OEM_RBRACKET});
    b.AddEach(0, {KEY_DELETE, KEY_DOWN, KEY_END, KEY_RETURN, KEY_ESCAPE});
    b.AddRange(0, F(1), F(12));
    b.AddEach(0, {KEY_MULTIPLY, KEY_ADD, KEY_SUBTRACT, KEY_HOME, KEY_INSERT, KEY_LEFT, KEY_PRIOR,
                  KEY_NEXT, KEY_RIGHT});
    b.AddEach(kShift, {KEY_BACK, KEY_DELETE, KEY_DOWN, KEY_END, KEY_RETURN});
    b.AddRange(kShift, F(1), F(12));
    b.AddEach(kShift,
              {KEY_HOME, KEY_INSERT, KEY_LEFT, KEY_NEXT, KEY_PRIOR, KEY_RIGHT, KEY_TAB, KEY_UP});
    b.AddEach(0, {KEY_TAB, KEY_UP});
    return b.Finish();
}

}  // namespace

const std::vector<KeySlotDefinition>& KeySlotDefinitions() {
    static const std::vector<KeySlotDefinition> slots = BuildSlots();
    return slots;
}
