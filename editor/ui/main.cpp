// fvedit32: the multiple-document script editor.
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "editor/core/editor_paths.h"

#include "editor/ui/startup.h"
#include "platform/ui/qt/ui_start.h"

namespace {

// The arguments as one command line; an argument with blanks is quoted.
std::string JoinArguments(int argc, char** argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        if (!line.empty()) {
            line += ' ';
        }
        line +=
            argument.find_first_of(" \t") != std::string::npos ? '"' + argument + '"' : argument;
    }
    return line;
}

// The window icon: installed beside the program's share folder, else the one in the sources.
void SetIcon() {
    char self[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length > 0) {
        std::string program(self, static_cast<std::size_t>(length));
        std::string prefix = program.substr(0, program.rfind('/'));
        prefix = prefix.substr(0, prefix.rfind('/'));
        std::string installed = prefix + "/share/icons/hicolor/48x48/apps/fvedit32.png";
        if (farvane::ui::SetProgramIcon(installed.c_str())) {
            return;
        }
    }
    farvane::ui::SetProgramIcon(FVEDIT_SOURCE_ICON);
}

}  // namespace

int main(int argc, char** argv) {
    std::string commandLine = JoinArguments(argc, argv);
    // The saved state and autosave files go where FVEDIT_STATE_DIR says (tests, portable use).
    if (const char* folder = std::getenv("FVEDIT_STATE_DIR"); folder != nullptr && *folder) {
        SetStateFolder(folder);
    }
    if (farvane::ui::StartUi(argc, argv, false) == farvane::ui::UiBackendKind::None) {
        std::fprintf(stderr, "fvedit32: no display to show the editor on (is DISPLAY set?)\n");
        return 1;
    }
    SetIcon();
    if (fvedit::HandToRunningEditor(commandLine)) {
        return 0;
    }
    HINSTANCE instance = farvane::ui::RegisterResourceModule("fvedit32");
    if (!fvedit::StartEditor(instance, commandLine.c_str(), farvane::ui::SW_SHOWNORMAL)) {
        fvedit::ShutDownEditor();
        return 1;
    }
    int code = fvedit::RunMessageLoop();
    fvedit::ShutDownEditor();
    return code;
}
