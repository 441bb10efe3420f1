#include "services/shell/program_main.h"

#include <string>

#include "platform/ui/qt/ui_start.h"
#include "services/shell/service_app.h"

int RunServiceProgram(const ServiceModule& module, int argc, char** argv) {
    farvane::ui::StartUi(argc, argv, true);
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) {
            commandLine += ' ';
        }
        commandLine += argv[i];
    }
    CServiceApp app(module);
    return app.Run(commandLine);
}
