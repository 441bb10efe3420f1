// fvrem32, the remote control module: calls the host its callhost file names, through the
// session library's CRemoteSvcMgr.
#include "services/shell/program_main.h"
#include "suite/fvcomm32/resource_library.h"

namespace {

CFVSvcMgr* CreateRemoteManager(const char* path, const ShellSwitches& switches) {
    return new CRemoteSvcMgr(path, switches.x, switches.l,
                             switches.x ? switches.xText.c_str() : nullptr);
}

const ServiceModule kRemoteModule{
    .programName = "fvrem32",
    .semaphoreName = "FVREM327_SEMAPHORE",
    .instanceCount = 10,
    .startSteps = {StartStep::ResourceLibrary, StartStep::SettingsKey, StartStep::InstanceSemaphore,
                   StartStep::ProfileSettings, StartStep::HelpFile, StartStep::DocumentTemplate,
                   StartStep::Switches, StartStep::Document, StartStep::TimerInit,
                   StartStep::DropFiles, StartStep::UnhandledExceptionBox},
    .ownResources = nullptr,
    .templateId = IDR_REMOTE_TEMPLATE,
    .acceptedSwitches = "LWX",
    .scanSwitchesOnEmptyLine = false,
    .fallBackToNewDocument = true,
    .programExitCode = 1,
    .missingFileText = "Cannot find callhost file: %s",
    .creationErrorText = "Error creating CRemoteSvcMgr",
    .creationErrorCaption = "fvrem32",
    .contextHelpButton = true,
    .documentCommand = true,
    .unhandledExceptionText = "\nFVRem32!!! Out of Memory",
    .createManager = CreateRemoteManager,
};

}  // namespace

int main(int argc, char** argv) {
    return RunServiceProgram(kRemoteModule, argc, argv);
}
