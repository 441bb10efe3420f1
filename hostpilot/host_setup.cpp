#include "hostpilot/host_setup.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "hostpilot/host_actions.h"
#include "hostpilot/host_context.h"
#include "hostpilot/host_services.h"
#include "hostpilot/module_path.h"
#include "hostpilot/screen_saver.h"
#include "platform/kernel/synch.h"
#include "session/connect_params.h"
#include "session/service_kinds.h"
#include "suite/fvcfgmgr/fvcfgmgr.h"
#include "suite/fvcomm32/fvcomm32.h"
#include "suite/fvtime32/fvtime32.h"
#include "suite/rt32base/rt32base.h"

namespace farvane::hostpilot {
namespace {

constexpr std::int32_t kPlatformWithDevice = 1;
constexpr std::int32_t kPlatformCurrent = 2;

bool IsHandle(HANDLE handle) {
    return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}

void CloseIfOpen(HANDLE& handle) {
    if (IsHandle(handle)) {
        CloseHandle(handle);
    }
    handle = nullptr;
}

void SetSessionItemsIdle(HOSTDATA* host) {
    if (host->CBBlock == nullptr) {
        return;
    }
    for (std::size_t at = kCBSessionItemsFirst; at <= kCBSessionItemsLast; ++at) {
        host->CBBlock[at] = kCBSessionItemIdle;
    }
}

void CopyText(char* target, int size, const char* text) {
    std::size_t length = text != nullptr ? strnlen(text, static_cast<std::size_t>(size) - 1) : 0;
    if (length != 0) {
        std::memcpy(target, text, length);
    }
    std::memset(target + length, 0, static_cast<std::size_t>(size) - length);
}

// The device shares its CB block by answering the control code with the block's address. Only
// a full, non-null address counts; anything else leaves the host with a local block.
void AttachDevice(HOSTDATA* host) {
    IHostDevice* device = Services().device;
    host->DeviceHandle = device->Open(HP_DEVICE_NAME);
    if (!IsHandle(host->DeviceHandle)) {
        host->DeviceHandle = nullptr;
        return;
    }
    unsigned char* shared = nullptr;
    DWORD returned = 0;
    if (device->Control(host->DeviceHandle, HP_DEVICE_GET_CB_BLOCK, &shared, sizeof shared,
                        &returned) &&
        returned == sizeof shared && shared != nullptr) {
        host->CBBlock = shared;
        host->DeviceFlag = 1;
    }
}

void CloseDevice(HOSTDATA* host) {
    if (IsHandle(host->DeviceHandle)) {
        Services().device->Close(host->DeviceHandle);
    }
    host->DeviceHandle = nullptr;
}

void OpenConfiguration() {
    std::string directory = ModulePath();
    NameStripFile(directory.data());
    directory.resize(std::strlen(directory.c_str()));
    FVConfigFilesInit(directory.c_str(), directory.c_str());
}

void FillHostIdentity(CFVSession* session, CONNECT_PARAMS* params) {
    CBeHost* hostObject = HostObject(session);
    HOST_OPTIONS options = HostOptions(session);
    if (options.OptionA() && hostObject != nullptr) {
        CopyText(params->HostText, CONNECT_PARAMS::kHostTextSize, hostObject->HostText());
    }
    if (options.OptionB()) {
        params->ConnectionFlags |= CONNECT_PARAMS::kOptionBFlag;
    } else {
        params->ConnectionFlags &= ~CONNECT_PARAMS::kOptionBFlag;
    }
    char name[CONNECT_PARAMS::kComputerNameSize] = {};
    if (!GetFVComputerName(name, sizeof name)) {
        return;
    }
    session->m_SessionParams.SetMyComputerName(name);
    CopyText(params->ComputerName, CONNECT_PARAMS::kComputerNameSize, name);
}

void SetUpConnectionParams(CFVSession* session, const HOSTDATA* host) {
    auto params = std::make_unique<CONNECT_PARAMS>();
    session->GetConnParams(params.get());
    params->AnswerFlag = 1;
    params->HostKind = host->NTService != 0 ? 3 : 1;
    FillHostIdentity(session, params.get());
    session->SetConnParams(params.get());
}

// Allocates the CB block when the device did not give one. False when memory ran out.
bool EnsureCBBlock(HOSTDATA* host) {
    if (host->DeviceFlag == 1) {
        return true;
    }
    host->CBBlock = static_cast<unsigned char*>(std::calloc(1, kCBBlockSize));
    return host->CBBlock != nullptr;
}

}  // namespace

bool HostStartUp(CFVSession* session) {
    if (session->m_pService == nullptr) {
        return false;
    }
    auto* user = static_cast<HostPilotUserData*>(std::calloc(1, sizeof(HostPilotUserData)));
    if (user == nullptr) {
        return false;
    }
    session->UserData(PROC_HOSTPILOT, reinterpret_cast<std::uintptr_t>(user));

    auto* host = static_cast<HOSTDATA*>(std::calloc(1, sizeof(HOSTDATA)));
    if (host == nullptr) {
        return false;
    }
    session->GlobalProcData(reinterpret_cast<std::uintptr_t>(host));

    host->EventA = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    host->EventB = CreateEventA(nullptr, TRUE, FALSE, nullptr);

    HostVersion version;
    if (Services().system->GetVersion(&version)) {
        host->PlatformId = version.platformId;
        host->OSVersion = version.major * 100 + version.minor;
    }
    host->NTService = session->m_pService->NTService();

    // The configuration is opened before option 10 is read: read earlier, the option would
    // always come back as its default.
    OpenConfiguration();
    std::int32_t noInterface = 0;
    FVRegGetOptionValue(HP_OPTION_NO_INTERFACE, sizeof noInterface, &noInterface, 0);
    host->NoInterface = (noInterface != 0 && host->NTService != 0) ? 1 : 0;

    if (host->PlatformId == kPlatformWithDevice) {
        AttachDevice(host);
    }
    if (!EnsureCBBlock(host)) {
        CloseDevice(host);
        return false;
    }
    SetSessionItemsIdle(host);
    SetUpConnectionParams(session, host);

    if (!host->NoInterface && session->m_hWnd != nullptr) {
        Services().window->StripSystemMenu(session->m_hWnd);
    }
    return true;
}

void PrepareWaitParams(CFVSession* session, std::uint32_t waitMode) {
    auto params = std::make_unique<CONNECT_PARAMS>();
    session->GetConnParams(params.get());
    if (waitMode == HP_WAIT_MODE_ANSWER_AFTER_ADMIT) {
        params->AnswerFlag = 0;
    } else if (waitMode == HP_WAIT_MODE_CALL_OUT) {
        params->CallOutText[0] = '\0';
        params->AnswerFlag = 0;
    } else {
        params->AnswerFlag = 1;
    }
    session->SetConnParams(params.get());
}

void ResetSessionItems(CFVSession* session) {
    HOSTDATA* host = HostRecord(session);
    if (host == nullptr) {
        return;
    }
    SetSessionItemsIdle(host);
    std::memset(host->Text, 0, sizeof host->Text);
    CloseIfOpen(host->VideoEvent);
}

bool PrepareHostDataForSession(CFVSession* session) {
    HOSTDATA* host = HostRecord(session);
    if (host == nullptr) {
        return false;
    }
    // A video event left from an earlier session would be lost by the clearing below.
    CloseIfOpen(host->VideoEvent);

    HOSTDATA kept;
    std::memcpy(&kept, host, sizeof kept);
    std::memset(host, 0, sizeof *host);
    host->CBBlock = kept.CBBlock;
    host->DeviceFlag = kept.DeviceFlag;
    host->ReleasedObject = kept.ReleasedObject;
    host->PlatformId = kept.PlatformId;
    host->OSVersion = kept.OSVersion;
    host->NTService = kept.NTService;
    host->NoInterface = kept.NoInterface;
    host->DeviceHandle = kept.DeviceHandle;
    host->EventA = kept.EventA;
    host->EventB = kept.EventB;
    std::memcpy(host->Text, kept.Text, sizeof host->Text);

    if (IsHandle(host->EventA)) {
        ResetEvent(host->EventA);
    }
    host->VideoEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!IsHandle(host->VideoEvent)) {
        host->VideoEvent = nullptr;
        return false;
    }
    return true;
}

bool RestartComputer(CFVSession* session) {
    HOSTDATA* host = HostRecord(session);
    IPowerService* power = Services().power;
    if (host != nullptr && host->PlatformId == kPlatformCurrent &&
        !power->EnableShutdownPrivilege()) {
        return false;
    }
    return power->ExitWindows(EWX_REBOOT | EWX_FORCE);
}

void TearDown(CFVSession* session) {
    if (HostPilotUserData* user = UserRecord(session)) {
        if (user->RetryTimerId != 0) {
            FVKillTimer(user->RetryTimerId);
            user->RetryTimerId = 0;
        }
        KillScreenSaverTimer(session);
        std::free(user);
        session->UserData(PROC_HOSTPILOT, 0);
    }
    FVConfigFilesTerminate(0, 0);

    HOSTDATA* host = HostRecord(session);
    if (host == nullptr) {
        return;
    }
    if (host->DeviceFlag == 0) {
        std::free(host->CBBlock);
    }
    host->CBBlock = nullptr;
    CloseIfOpen(host->EventA);
    CloseIfOpen(host->EventB);
    // The host may end while a host session still has its video event.
    CloseIfOpen(host->VideoEvent);
    if (host->PlatformId == kPlatformWithDevice) {
        CloseDevice(host);
    }
    if (host->ReleasedObject != nullptr) {
        host->ReleasedObject->Release();
        host->ReleasedObject = nullptr;
    }
    std::free(host);
    session->GlobalProcData(0);
}

}  // namespace farvane::hostpilot
