// fvgate, the gateway module: relays a host and a viewer through the session library's
// CGatewaySvcMgr. One instance at a time, its own resources, no help file.
#include "services/gateway/gateway_resources.h"
#include "services/shell/program_main.h"

namespace {

CFVSvcMgr* CreateGatewayManager(const char* path, const ShellSwitches&) {
    return new CGatewaySvcMgr(path);
}

const ServiceModule kGatewayModule{
    .programName = "fvgate",
    .semaphoreName = "FVGATE327_SEMAPHORE",
    .instanceCount = 1,
    .startSteps = {StartStep::SettingsKeyIfFetched, StartStep::InstanceSemaphore,
                   StartStep::ProfileSettings, StartStep::DocumentTemplate, StartStep::Switches,
                   StartStep::Document, StartStep::TimerInit, StartStep::DropFiles},
    .ownResources = GatewayResources,
    .templateId = IDR_GATEWAY_TEMPLATE,
    .acceptedSwitches = "W",
    .scanSwitchesOnEmptyLine = false,
    .fallBackToNewDocument = false,
    .programExitCode = 3,
    .missingFileText = "Cannot find gateway file: %s",
    .creationErrorText = nullptr,
    .creationErrorCaption = nullptr,
    .contextHelpButton = false,
    .documentCommand = false,
    .unhandledExceptionText = nullptr,
    .createManager = CreateGatewayManager,
};

}  // namespace

int main(int argc, char** argv) {
    return RunServiceProgram(kGatewayModule, argc, argv);
}
