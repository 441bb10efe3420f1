// fvedit-replay: applies a script of editor commands to text files without a window, as the
// editor would, and saves them.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "command_names.h"
#include "editor/core/command_state.h"
#include "editor/core/documents.h"
#include "editor/core/edit_window.h"
#include "editor/core/editor_settings.h"
#include "editor/core/file_save.h"
#include "editor/view/display_update.h"
#include "replay_script.h"
#include "replay_tools.h"
#include "replay_ui.h"
#ifdef FVEDIT_REPLAY_CAN_PRINT
#include "replay_print.h"
#endif

namespace {

struct Options {
    std::string scriptPath;
    std::string inlineScript;
    std::vector<std::string> files;
    bool save = true;
    bool keepGoing = false;
    bool backups = false;
    bool listCommands = false;
    bool help = false;
};

void Usage(std::ostream& out) {
    out << "usage: fvedit-replay [options] (-s SCRIPT | -e LINES) FILE...\n"
           "\n"
           "Opens each FILE in the editor without a window, runs the script on it and saves\n"
           "it when it changed. Exits 0 when every line of every file ran, 1 when a line\n"
           "failed (the file is then left as it was on disk), 2 on a bad command line or\n"
           "script.\n"
           "\n"
           "  -s, --script FILE   read the script from FILE (- for standard input)\n"
           "  -e, --execute LINES the script itself; ';' separates lines when it stands\n"
           "                      alone between blanks (\" ; \")\n"
           "  -n, --no-save       run without saving\n"
           "  -k, --keep-going    run every line even after one failed (still no save)\n"
           "  -b, --backup        keep the previous contents as NAME.bak when saving\n"
           "      --commands      list the command names and exit\n"
           "  -h, --help          this text\n\n"
        << ScriptHelp() << '\n';
}

int ParseArguments(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&](std::string& target) {
            if (i + 1 >= argc) {
                return false;
            }
            target = argv[++i];
            return true;
        };
        if (arg == "-s" || arg == "--script") {
            if (!value(options.scriptPath))
                return 0;
        } else if (arg == "-e" || arg == "--execute") {
            if (!value(options.inlineScript))
                return 0;
        } else if (arg == "-n" || arg == "--no-save") {
            options.save = false;
        } else if (arg == "-k" || arg == "--keep-going") {
            options.keepGoing = true;
        } else if (arg == "-b" || arg == "--backup") {
            options.backups = true;
        } else if (arg == "--commands") {
            options.listCommands = true;
        } else if (arg == "-h" || arg == "--help") {
            options.help = true;
        } else if (arg.size() > 1 && arg[0] == '-' && arg != "-") {
            std::cerr << "fvedit-replay: unknown option " << arg << '\n';
            return 0;
        } else {
            options.files.push_back(arg);
        }
    }
    return 1;
}

bool LoadScript(const Options& options, std::string& script) {
    if (!options.inlineScript.empty()) {
        script = options.inlineScript;
        std::size_t at;
        while ((at = script.find(" ; ")) != std::string::npos) {
            script.replace(at, 3, "\n");
        }
        return true;
    }
    if (options.scriptPath == "-") {
        std::ostringstream text;
        text << std::cin.rdbuf();
        script = text.str();
        return true;
    }
    std::ifstream in(options.scriptPath, std::ios::binary);
    if (!in) {
        std::cerr << "fvedit-replay: cannot read script " << options.scriptPath << '\n';
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    script = text.str();
    return true;
}

void CloseAll() {
    while (pwinFirst != nullptr) {
        FreeEditWindow(pwinFirst);
    }
    SetCurrentWindow(nullptr);
}

// Runs the script on one file. Returns 0, or 1 when a line failed or the file could not be
// opened or saved.
int ReplayFile(const std::string& path, const std::vector<ScriptLine>& lines,
               const Options& options) {
    ReplayUi ui;
    SetEditorUi(&ui);
    ResetReplayState();
    CloseAll();
    int result = 0;
    if (!OpenDocument(path.c_str(), 0, 0, true) || pwinCurrent == nullptr) {
        std::cerr << path << ": "
                  << (ui.messages.empty() ? std::string("cannot open") : ui.messages.back().text)
                  << '\n';
        result = 1;
    } else {
        DisplayUpdate();
        ScriptError error = RunScript(lines, ui, std::cout, options.keepGoing);
        if (error.line != 0) {
            std::cerr << path << ": line " << error.line << ": " << error.message << '\n';
            result = 1;
        } else if (options.save && (pbufCurrent->state & BS_MODIFIED)) {
            ui.BeginCommand();
            if (!SaveBuffer(pbufCurrent)) {
                std::cerr << path << ": "
                          << (ui.Failure().empty() ? std::string("save failed") : ui.Failure())
                          << '\n';
                result = 1;
            }
        }
    }
    CloseAll();
    SetEditorUi(nullptr);
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseArguments(argc, argv, options)) {
        Usage(std::cerr);
        return 2;
    }
    if (options.help) {
        Usage(std::cout);
        return 0;
    }
    if (options.listCommands) {
        for (const std::string& name : CommandNames()) {
            std::cout << name << '\n';
        }
        return 0;
    }
    if ((options.scriptPath.empty() == options.inlineScript.empty()) || options.files.empty()) {
        Usage(std::cerr);
        return 2;
    }
    std::string script;
    if (!LoadScript(options, script)) {
        return 2;
    }
    std::vector<ScriptLine> lines = ParseScript(script);
    ScriptError error = CheckScript(lines);
    if (error.line != 0) {
        std::cerr << "fvedit-replay: script line " << error.line << ": " << error.message << '\n';
        return 2;
    }
    editorSettings.makeBackups = options.backups ? 1 : 0;
#ifdef FVEDIT_REPLAY_CAN_PRINT
    SetPdfPrinter(PrintCurrentWindowToPdf);
#endif
    int result = 0;
    for (const std::string& path : options.files) {
        result |= ReplayFile(path, lines, options);
    }
    return result;
}
