// fvonl32, the online service module: waits for a host that calls out, through the session
// library's COnlineSvcMgr. It records /X and its text but does not use them.
#include "services/shell/program_main.h"
#include "suite/fvcomm32/resource_library.h"

namespace {

CFVSvcMgr* CreateOnlineManager(const char* path, const ShellSwitches& switches) {
    return new COnlineSvcMgr(path, switches.l);
}

const ServiceModule kOnlineModule{
    .programName = "fvonl32",
    .semaphoreName = "FVONL327_SEMAPHORE",
    .instanceCount = 10,
    .startSteps = {StartStep::ResourceLibrary, StartStep::SettingsKey, StartStep::HelpFile,
                   StartStep::ProfileSettings, StartStep::InstanceSemaphore,
                   StartStep::DocumentTemplate, StartStep::Switches, StartStep::Document,
                   StartStep::DropFiles, StartStep::TimerInit},
    .ownResources = nullptr,
    .templateId = IDR_ONLINE_TEMPLATE,
    .acceptedSwitches = "LWX",
    .scanSwitchesOnEmptyLine = true,
    .fallBackToNewDocument = true,
    .programExitCode = 5,
    .missingFileText = "Cannot find OnlSvc file: %s",
    .creationErrorText = "Error creating COnlineSvcMgr",
    .creationErrorCaption = "fvonl32",
    .contextHelpButton = true,
    .documentCommand = true,
    .unhandledExceptionText = nullptr,
    .createManager = CreateOnlineManager,
};

}  // namespace

int main(int argc, char** argv) {
    return RunServiceProgram(kOnlineModule, argc, argv);
}
