// Layout and copy behaviour of the classes that modules share with the session library. The
// library reads and writes these records by offset, so the tests look at the bytes.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "session/action.h"
#include "session/fv_service.h"
#include "session/fv_session.h"
#include "session/service_kinds.h"
#include "session/session_kinds.h"
#include "session/session_params.h"
#include "session/svc_mgr.h"
#include "tests/session/vtable_probe.h"

namespace {

unsigned char* BytesOf(void* object) {
    return static_cast<unsigned char*>(object);
}

template <class T>
T ReadAt(const void* object, std::size_t offset) {
    T value;
    std::memcpy(&value, static_cast<const unsigned char*>(object) + offset, sizeof value);
    return value;
}

template <class T>
void WriteAt(void* object, std::size_t offset, T value) {
    std::memcpy(BytesOf(object) + offset, &value, sizeof value);
}

void FillPattern(void* object, std::size_t from, std::size_t to, unsigned seed) {
    for (std::size_t i = from; i < to; ++i)
        BytesOf(object)[i] = static_cast<unsigned char>(i * 7 + seed);
}

int CountingAction(CFVSession*, CAction*, int value) {
    return value + 1;
}

TEST(CActionTest, AccessorsStoreAtTheirOffsets) {
    CAction action;
    EXPECT_EQ(action.SetCode(-1), -1);
    EXPECT_EQ(action.Code(), -1);
    EXPECT_EQ(action.SetParam(0x11223344u), 0x11223344u);
    EXPECT_EQ(action.SetProcID(PROC_HOSTPILOT), PROC_HOSTPILOT);
    EXPECT_EQ(action.SetSourceProcID(PROC_ADMIT), PROC_ADMIT);
    EXPECT_EQ(action.SetLParam(-77), -77);
    action.SetFunc(&CountingAction);

    EXPECT_EQ(ReadAt<std::int32_t>(&action, 12), -1);
    const unsigned char param[4] = {0x44, 0x33, 0x22, 0x11};  // little-endian word
    EXPECT_EQ(std::memcmp(BytesOf(&action) + 16, param, 4), 0);
    EXPECT_EQ(ReadAt<std::int32_t>(&action, 284), 7);
    EXPECT_EQ(ReadAt<std::int32_t>(&action, 288), 8);
    EXPECT_EQ(ReadAt<std::int32_t>(&action, 292), -77);
    EXPECT_EQ(ReadAt<PACTIONFUNC>(&action, 296), &CountingAction);
    EXPECT_EQ(action.Func()(nullptr, &action, 41), 42);
}

TEST(CActionTest, PostingConstructorFillsTargetSourceCodeParam) {
    CAction action(PROC_CONNECT, PROC_HOSTPILOT, 201, 5);
    EXPECT_EQ(action.ProcID(), PROC_CONNECT);
    EXPECT_EQ(action.SourceProcID(), PROC_HOSTPILOT);
    EXPECT_EQ(action.Code(), 201);
    EXPECT_EQ(action.Param(), 5u);
    EXPECT_EQ(action.LParam(), 0);
    EXPECT_EQ(action.Func(), nullptr);
}

TEST(CActionTest, CopiesCarryLinkWordAndWholeText) {
    CAction source(PROC_ADMIT, PROC_HOSTPILOT, 3, 4);
    WriteAt<std::uint32_t>(&source, 8, 0xCAFEF00Du);
    // Text "ab", its terminator, then bytes that a copy up to the terminator would lose.
    FillPattern(&source, 20, 281, 3);
    BytesOf(&source)[20] = 'a';
    BytesOf(&source)[21] = 'b';
    BytesOf(&source)[22] = 0;

    CAction copied(source);
    CAction assigned;
    assigned = source;
    for (CAction* target : {&copied, &assigned}) {
        // Link word, Code, Param and the text; then the fields after the alignment gap.
        EXPECT_EQ(std::memcmp(BytesOf(target) + 8, BytesOf(&source) + 8, 281 - 8), 0);
        EXPECT_EQ(std::memcmp(BytesOf(target) + 284, BytesOf(&source) + 284, 304 - 284), 0);
        EXPECT_EQ(target->Code(), 3);
    }
}

TEST(CSessionParamsTest, DriveMapReportsTwentySixWhateverItHolds) {
    CSessionParams params;
    ULONG size = 0;
    unsigned char* map = params.RemoteDriveMap(size);
    EXPECT_EQ(size, 26u);
    EXPECT_EQ(map, BytesOf(&params) + 504);
    std::memset(map, 0xFF, 26);
    const CSessionParams& constant = params;
    size = 0;
    EXPECT_EQ(constant.RemoteDriveMap(size)[25], 0xFF);
    EXPECT_EQ(size, 26u);
    EXPECT_EQ(params.RemoteDriveMapSize(), 26);
}

TEST(CSessionParamsTest, CopiesEveryByteOfBlockTextsMapAndFlag) {
    CSessionParams source;
    FillPattern(&source, 8, 530, 11);  // block, texts A to E and the drive map
    source.SetIsOnlSvc(-3);
    EXPECT_EQ(ReadAt<std::int32_t>(&source, 532), -3);

    CSessionParams copied(source);
    CSessionParams assigned;
    assigned = source;
    for (CSessionParams* target : {&copied, &assigned}) {
        EXPECT_EQ(std::memcmp(BytesOf(target) + 8, BytesOf(&source) + 8, 522), 0);
        EXPECT_EQ(target->IsOnlSvc(), -3);
    }
}

TEST(CFVSvcMgrTest, FieldsAndServiceView) {
    CRemoteSvcMgr manager;
    EXPECT_EQ(manager.SetNTService(1), 1);
    auto* window = reinterpret_cast<HWND>(std::uintptr_t{0x1234});
    manager.SethwndMain(window);
    EXPECT_EQ(ReadAt<std::int32_t>(&manager, 8), 1);
    EXPECT_EQ(ReadAt<HWND>(&manager, 16), window);
    EXPECT_EQ(manager.GethwndMain(), window);

    CRemote service;
    EXPECT_EQ(service.NTService(), 0);  // no manager yet
    WriteAt<CFVSvcMgr*>(&service, 8, &manager);
    EXPECT_EQ(service.FVSvcMgr(), &manager);
    EXPECT_EQ(service.NTService(), 1);
}

TEST(ServiceKindsTest, GatewaySessionSelectsSecondForAnyNonZero) {
    CGatewaySession first;
    CGatewaySession second;
    CGatewaySvc gateway;
    WriteAt<CFVSession*>(&gateway, 536, &first);
    WriteAt<CFVSession*>(&gateway, 544, &second);
    EXPECT_EQ(gateway.Session(0), &first);
    EXPECT_EQ(gateway.Session(1), &second);
    EXPECT_EQ(gateway.Session(5), &second);
    EXPECT_EQ(gateway.Session(-1), &second);

    auto* object = reinterpret_cast<CGateway*>(std::uintptr_t{0x40});
    gateway.BeGateway() = object;
    EXPECT_EQ(ReadAt<CGateway*>(&gateway, 552), object);
}

TEST(ServiceKindsTest, SingleSessionKindsIgnoreTheArgument) {
    CGatewaySession session;
    CRemote remote;
    CScriptRemote script;
    COnline online;
    auto* callHost = reinterpret_cast<CCallHost*>(std::uintptr_t{0x50});
    auto* onlineService = reinterpret_cast<COnlineService*>(std::uintptr_t{0x60});
    WriteAt<CFVSession*>(&remote, 536, &session);
    WriteAt<CCallHost*>(&remote, 544, callHost);
    WriteAt<CFVSession*>(&script, 536, &session);
    WriteAt<CFVSession*>(&online, 536, &session);
    WriteAt<COnlineService*>(&online, 544, onlineService);
    for (int which : {0, 1, 7}) {
        EXPECT_EQ(remote.Session(which), &session);
        EXPECT_EQ(script.Session(which), &session);
        EXPECT_EQ(online.Session(which), &session);
    }
    EXPECT_EQ(remote.CallHost(), callHost);
    EXPECT_EQ(online.OnlineService(), onlineService);
}

TEST(ServiceKindsTest, HostReachesSessionThroughCompanion) {
    CPlaybackSession session;
    CHostCompanion companion;
    companion.Session = &session;
    CHost host(&companion);
    EXPECT_EQ(ReadAt<CHostCompanion*>(&host, 536), &companion);
    EXPECT_EQ(ReadAt<CFVSession*>(&companion, 8), &session);
    EXPECT_EQ(host.Session(0), &session);
    EXPECT_EQ(CHost().Session(0), nullptr);

    EXPECT_EQ(host.VideoScanner(std::uintptr_t{0xABCDEF0123}), std::uintptr_t{0xABCDEF0123});
    EXPECT_EQ(ReadAt<std::uintptr_t>(&host, 544), std::uintptr_t{0xABCDEF0123});
    auto* beHost = reinterpret_cast<CBeHost*>(std::uintptr_t{0x70});
    host.BeHost() = beHost;
    EXPECT_EQ(ReadAt<CBeHost*>(&host, 552), beHost);
}

TEST(ServiceKindsTest, CopiesShareSessionsAndCarryTheArea) {
    CRemoteSvcMgr manager;
    CGatewaySession first;
    CGatewaySession second;
    CGatewaySvc source;
    WriteAt<CFVSvcMgr*>(&source, 8, &manager);
    FillPattern(&source, 16, 536, 5);
    WriteAt<CFVSession*>(&source, 536, &first);
    WriteAt<CFVSession*>(&source, 544, &second);

    CGatewaySvc copied(source);
    CGatewaySvc assigned;
    assigned = source;
    for (CGatewaySvc* target : {&copied, &assigned}) {
        EXPECT_EQ(std::memcmp(BytesOf(target) + 8, BytesOf(&source) + 8, sizeof(CGatewaySvc) - 8),
                  0);
        EXPECT_EQ(target->Session(1), &second);
        EXPECT_EQ(target->FVSvcMgr(), &manager);
    }
}

// A service whose library handlers are all overridden, to see which entry reaches which.
class RecordingService : public CRemote {
public:
    CFVSession* Session(int which) override {
        last = 1;
        argument = which;
        return nullptr;
    }
    void SessionDone(CFVSession*) override { last = 2; }
    void SessionDeleted(CFVSession*) override { last = 3; }
    void SessionConnect(CFVSession*) override { last = 4; }
    void SessionDisconnect(CFVSession*) override { last = 5; }

    int last = 0;
    int argument = 0;
};

TEST(ServiceKindsTest, OperationsSitInTheirSlotsAfterTheDestructor) {
    using vtable_probe::CallEntry;
    using vtable_probe::kFirstAfterDestructor;
    RecordingService service;
    CFVService* base = &service;
    CallEntry<CFVSession*>(base, kFirstAfterDestructor + 0, 9);
    EXPECT_EQ(service.last, 1);
    EXPECT_EQ(service.argument, 9);
    for (int slot = 2; slot <= 5; ++slot) {
        CallEntry<void>(base, kFirstAfterDestructor + slot - 1, static_cast<CFVSession*>(nullptr));
        EXPECT_EQ(service.last, slot) << "slot " << slot;
    }
}

TEST(SessionKindsTest, GatewaySessionPairing) {
    CGatewaySession one;
    CGatewaySession other;
    EXPECT_EQ(one.OtherSession(), nullptr);
    one.SetOtherSession(&other);
    EXPECT_EQ(one.OtherSession(), &other);
    one.OtherSession() = nullptr;
    EXPECT_EQ(one.OtherSession(), nullptr);
}

}  // namespace
