#include "editor/core/key_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <vector>

#include "editor/core/editor_settings.h"
#include "editor/core/file_io.h"
#include "editor/core/key_table.h"
#include "editor/core/le_bytes.h"
#include "editor/core/settings_texts.h"
#include "editor/core/ui_services.h"
#include "platform/kernel/replace_file.h"

namespace {

void Warn(const char* text) {
    Ui().MessageBox(text, EditorTitle(), UiButtons::Ok, UiIcon::Warning, false);
}

// Which signature the 18 bytes hold: 2 current, 1 older, 0 neither.
int SignatureKind(const unsigned char* bytes) {
    char signature[KEY_FILE_SIGNATURE_SIZE];
    GetText(bytes, KEY_FILE_SIGNATURE_SIZE, signature);
    if (std::strcmp(signature, KEY_FILE_SIGNATURE) == 0) {
        return 2;
    }
    return std::strcmp(signature, KEY_FILE_OLD_SIGNATURE) == 0 ? 1 : 0;
}

void ReadRecords(int descriptor, std::size_t keySize, std::size_t commandSize) {
    std::vector<unsigned char> record(keySize + commandSize);
    char key[KEY_NAME_SIZE];
    char command[COMMAND_NAME_SIZE];
    while (ReadAll(descriptor, record.data(), record.size()) ==
           static_cast<ssize_t>(record.size())) {
        GetText(record.data(), keySize, key);
        GetText(record.data() + keySize, commandSize, command);
        AssignKey(key, command);
    }
}

}  // namespace

int LoadKeyFile(const char* path, bool reportMissing) {
    if (path == nullptr || path[0] == '\0') {
        return 0;
    }
    int descriptor = open(path, O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        if (reportMissing) {
            Warn(TXT_FILE_DOES_NOT_EXIST);
        }
        return 0;
    }
    unsigned char header[KEY_FILE_HEADER_SIZE];
    ssize_t got = ReadAll(descriptor, header, sizeof header);
    int kind = got >= static_cast<ssize_t>(KEY_FILE_SIGNATURE_SIZE) ? SignatureKind(header) : 0;
    if (kind == 0) {
        close(descriptor);
        Warn(TXT_INVALID_KEY_FILE);
        return 0;
    }
    // A file cut short after its signature has no mode to take (the current one stays) and no
    // records, but it is a key file: the table is still cleared.
    if (got == static_cast<ssize_t>(KEY_FILE_HEADER_SIZE)) {
        editorSettings.keyboardMode = GetLe32(header + KEY_FILE_SIGNATURE_SIZE) != 0 ? 1 : 0;
    }
    for (KeySlot* slot = keyTable; slot->id != 0; ++slot) {
        slot->command = nullptr;
    }
    if (kind == 2) {
        ReadRecords(descriptor, KEY_NAME_SIZE, COMMAND_NAME_SIZE);
    } else {
        ReadRecords(descriptor, OLD_KEY_NAME_SIZE, OLD_COMMAND_NAME_SIZE);
    }
    close(descriptor);
    return 1;
}

int SaveKeyFile(const char* path) {
    if (path == nullptr || path[0] == '\0') {
        return 0;
    }
    std::vector<unsigned char> bytes(KEY_FILE_HEADER_SIZE, 0);
    PutText(bytes.data(), KEY_FILE_SIGNATURE_SIZE, KEY_FILE_SIGNATURE);
    PutLe32(bytes.data() + KEY_FILE_SIGNATURE_SIZE,
            static_cast<std::uint32_t>(editorSettings.keyboardMode));
    for (const KeySlot* slot = keyTable; slot->id != 0; ++slot) {
        if (slot->command == nullptr) {
            continue;
        }
        std::size_t at = bytes.size();
        bytes.resize(at + KEY_NAME_SIZE + COMMAND_NAME_SIZE);
        PutText(bytes.data() + at, KEY_NAME_SIZE, slot->keyName);
        PutText(bytes.data() + at + KEY_NAME_SIZE, COMMAND_NAME_SIZE, slot->command->name);
    }
    auto writeBytes = [&](int descriptor) {
        return WriteAll(descriptor, bytes.data(), bytes.size()) == bytes.size();
    };
    if (!ReplaceFileContent(path, writeBytes, {0644})) {
        Warn(TXT_KEY_FILE_WRITE_ERROR);
        return 0;
    }
    Ui().SetStatus(TXT_WRITE_SUCCESSFUL, true);
    return 1;
}
