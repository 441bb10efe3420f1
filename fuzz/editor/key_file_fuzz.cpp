// Feeds arbitrary bytes to the keyboard configuration file reader, checks the key table it
// leaves, and writes the table out again. The first byte chooses the keyboard mode in force.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "editor/core/editor_settings.h"
#include "editor/core/headless_ui.h"
#include "editor/core/key_file.h"
#include "editor/core/key_table.h"

namespace {

int FileDescriptor() {
    static int descriptor = memfd_create("key_file_fuzz", 0);
    return descriptor;
}

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

bool KnownCommand(const EditorCommand* command) {
    for (int i = 0; i < COMMAND_COUNT; ++i) {
        if (CommandAt(i) == command) {
            return command->function != nullptr;
        }
    }
    return false;
}

const char* OutputPath() {
    static char path[64] = "";
    if (path[0] == '\0') {
        char folder[] = "/tmp/key-file-fuzz-XXXXXX";
        Check(mkdtemp(folder) != nullptr);
        std::snprintf(path, sizeof path, "%s/out.key", folder);
    }
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    static HeadlessUi ui;
    SetEditorUi(&ui);
    ui.Clear();
    editorSettings.keyboardMode = data[0] & 1;
    editorMode = (data[0] & 2) ? EditorMode::ScriptBuilder : EditorMode::Normal;
    ApplyKeyboardMode();
    ResetKeyTable();
    ++data;
    --size;
    int descriptor = FileDescriptor();
    if (ftruncate(descriptor, 0) != 0 ||
        pwrite(descriptor, data, size, 0) != static_cast<ssize_t>(size)) {
        return 0;
    }
    char path[64];
    std::snprintf(path, sizeof path, "/proc/self/fd/%d", descriptor);
    LoadKeyFile(path, true);
    Check(editorSettings.keyboardMode == 0 || editorSettings.keyboardMode == 1);
    for (int i = 0; i < KEY_SLOT_COUNT; ++i) {
        Check(keyTable[i].id != 0);
        Check(std::memchr(keyTable[i].keyName, '\0', KEY_NAME_SIZE) != nullptr);
        Check(keyTable[i].command == nullptr || KnownCommand(keyTable[i].command));
    }
    Check(keyTable[KEY_SLOT_COUNT].id == 0);
    Check(SaveKeyFile(OutputPath()) == 1);
    return 0;
}
