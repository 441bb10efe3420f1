// A host over loopback: the real host pilot with the network stages. The viewer is played
// here; the scanner is a fake that marks its video start and transmits a few bytes.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/net/tcp.h"
#include "platform/net/tls_stream.h"
#include "session/cb_block.h"
#include "session/host_data.h"
#include "session/service_kinds.h"
#include "session/viewer_wire.h"
#include "suite/fvses32/cb_access.h"
#include "suite/fvses32/net_host.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using farvane::net::NetCode;
using farvane::net::NetStatus;
using farvane::net::TlsStream;
using Bytes = std::vector<std::uint8_t>;

constexpr std::uintptr_t kFakeScanner = 0x5CA11E;
const Bytes kFakeVideo = {'V', 'I', 'D', 'E', 'O'};

template <typename Predicate>
bool Eventually(Predicate done, std::chrono::milliseconds limit = 10s) {
    auto until = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > until) {
            return false;
        }
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

// What the host did, as the test sees it.
struct Observed {
    std::mutex lock;
    std::vector<std::string> log;
    std::atomic<int> made{0};
    std::atomic<int> deleted{0};
    std::atomic<int> sessionsEnded{0};
    // The service's video scanner value while the session ran (seen at the bitmap request, on
    // the session's thread) and when the scanner was deleted.
    std::atomic<std::uintptr_t> heldWhileRunning{0};
    std::atomic<std::uintptr_t> heldAtDeletion{1};
    std::atomic<CFVSession*> session{nullptr};

    int Count(const std::string& text) {
        std::lock_guard guard(lock);
        int count = 0;
        for (const std::string& line : log) {
            count += line.find(text) != std::string::npos ? 1 : 0;
        }
        return count;
    }
    bool Logged(const std::string& text) { return Count(text) > 0; }
    std::string AllLog() {
        std::lock_guard guard(lock);
        std::string all;
        for (const std::string& line : log) {
            all += line + "\n";
        }
        return all;
    }
};

class NetHostTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/net-host-test-XXXXXX";
        folder_ = mkdtemp(pattern);
        ASSERT_TRUE(HashPassword("right one", &hash_));
    }
    void TearDown() override {
        host_.reset();
        fs::remove_all(folder_);
    }

    NetHostConfig Config() {
        NetHostConfig config;
        config.host.pilotLibraryPath = FVHPILOT_LIBRARY;
        config.link.listen = farvane::net::Endpoint{"127.0.0.1", 0};
        config.link.identityFolder = folder_;
        config.link.log = [this](const std::string& line) {
            std::lock_guard guard(seen_.lock);
            seen_.log.push_back(line);
        };
        config.admission.passwordHash = hash_;
        config.admission.firstDelay = 400ms;
        config.session.desktopName = "memory:64x32x8#nethost";
        config.session.scanner.create = [this](CFVSession* session, const char*) {
            seen_.session = session;
            auto* host = reinterpret_cast<HOSTDATA*>(session->GlobalProcData());
            CBAccess(host->CBBlock).SetBits(kCBVideoState, kVideoRunning);
            session->Transmit(kFakeVideo.data(), static_cast<int>(kFakeVideo.size()), 0);
            ++seen_.made;
            return kFakeScanner;
        };
        config.session.scanner.destroy = [this](std::uintptr_t value) {
            EXPECT_EQ(value, kFakeScanner);
            seen_.heldAtDeletion.store(
                static_cast<CHost*>(seen_.session.load()->m_pService)->VideoScanner());
            ++seen_.deleted;
        };
        config.session.input = &input_;
        config.session.onSessionEnd = [this] { ++seen_.sessionsEnded; };
        return config;
    }

    void StartHost(NetHostConfig config) {
        std::string error;
        host_ = CNetHost::Create(std::move(config), &error);
        ASSERT_TRUE(host_) << error;
        ASSERT_NE(host_->ListeningPort(), 0);
        host_->Start(0);
    }

    std::unique_ptr<TlsStream> Call() {
        std::unique_ptr<farvane::net::TcpSocket> socket;
        NetStatus status = farvane::net::ConnectTcp(
            farvane::net::Endpoint{"127.0.0.1", host_->ListeningPort()}, nullptr, 5000, &socket);
        EXPECT_TRUE(status.ok()) << status.message;
        std::unique_ptr<TlsStream> stream;
        if (socket) {
            status = TlsStream::Connect(std::move(socket), nullptr, 5000, &stream);
            EXPECT_TRUE(status.ok()) << status.message;
        }
        if (stream) {
            EXPECT_EQ(stream->PeerFingerprint(), host_->Fingerprint());
        }
        return stream;
    }

    static void Send(TlsStream& stream, const ViewerMessage& message) {
        Bytes bytes;
        AppendViewerMessage(message, &bytes);
        ASSERT_TRUE(stream.WriteAll(bytes.data(), bytes.size(), nullptr, 5000).ok());
    }

    static void SendHello(TlsStream& stream, const std::string& password) {
        ViewerMessage hello;
        hello.type = ViewerMessageType::kHello;
        hello.hello = ViewerHello{kViewerProtocolVersion, 0x8011, 0x0020, 2};
        Send(stream, hello);
        ViewerMessage secret;
        secret.type = ViewerMessageType::kPassword;
        secret.text = password;
        Send(stream, secret);
    }

    static Bytes Read(TlsStream& stream, std::size_t size) {
        Bytes bytes(size);
        std::size_t have = 0;
        while (have < size) {
            std::size_t got = 0;
            if (!stream.Read(bytes.data() + have, size - have, &got, nullptr, 10000).ok()) {
                break;
            }
            have += got;
        }
        bytes.resize(have);
        return bytes;
    }

    static AdmissionAnswer ReadAnswer(TlsStream& stream) {
        Bytes bytes = Read(stream, kAdmissionAnswerSize);
        AdmissionAnswer answer;
        std::string reason;
        EXPECT_EQ(ParseAdmissionAnswer(bytes, &answer, &reason), ViewerParse::kMessage) << reason;
        return answer;
    }

    CBAccess CB() {
        auto* host = reinterpret_cast<HOSTDATA*>(seen_.session.load()->GlobalProcData());
        return CBAccess(host->CBBlock);
    }

    // Stands in for XTest; notes the service's scanner value when the viewer's first input
    // arrives (on the session's reader thread, which starts after the value was stored).
    class InputProbe final : public IInputInjector {
    public:
        explicit InputProbe(Observed* seen) : seen_(seen) {}
        void Key(std::uint32_t, bool) override { Note(); }
        void Pointer(const ViewerPointer&) override { Note(); }
        void ReleaseAll() override { ++releases; }
        std::atomic<int> releases{0};
        std::atomic<int> events{0};

    private:
        void Note() {
            seen_->heldWhileRunning.store(
                static_cast<CHost*>(seen_->session.load()->m_pService)->VideoScanner());
            ++events;
        }
        Observed* seen_;
    };

    std::string folder_;
    std::string hash_;
    Observed seen_;
    InputProbe input_{&seen_};
    std::unique_ptr<CNetHost> host_;
};

TEST_F(NetHostTest, AdmitsTheRightPasswordRunsASessionAndWaitsAgain) {
    StartHost(Config());
    for (int round = 0; round < 2; ++round) {
        auto viewer = Call();
        ASSERT_TRUE(viewer);
        SendHello(*viewer, "right one");
        AdmissionAnswer answer = ReadAnswer(*viewer);
        EXPECT_TRUE(answer.admitted);
        // The stream that follows is the scanner's, from its first byte.
        EXPECT_EQ(Read(*viewer, kFakeVideo.size()), kFakeVideo);
        EXPECT_EQ(seen_.made.load(), round + 1);
        // The hello's words became the scanner's CB items; the capabilities with the request.
        CBAccess cb = CB();
        EXPECT_EQ(cb.Byte(kCBReducedColourMode), 2);
        EXPECT_TRUE(cb.Byte(kCBSessionStatus) & kSessionStatusUp);
        EXPECT_NE(cb.Byte(kCBSessionReady), 0);
        EXPECT_EQ(cb.Byte(kCBVideoState) & (kVideoWanted | kVideoAvailable),
                  kVideoWanted | kVideoAvailable);
        ViewerMessage request;
        request.type = ViewerMessageType::kBitmapRequest;
        request.bitmapRequest = 1;
        Send(*viewer, request);
        auto* host = reinterpret_cast<HOSTDATA*>(seen_.session.load()->GlobalProcData());
        const unsigned char* block = host->CBBlock;
        auto word = [&](std::uint16_t item) {
            std::size_t at = CBItemOffset(item);
            return static_cast<std::uint16_t>(
                std::atomic_ref<const unsigned char>(block[at]).load() |
                std::atomic_ref<const unsigned char>(block[at + 1]).load() << 8);
        };
        EXPECT_TRUE(Eventually([&] { return word(kCBBitmapRequest) == 1; }));
        EXPECT_EQ(word(kCBRemoteCapabilities), 0x8011);
        EXPECT_EQ(word(kCBRemoteOptions), 0x0020);
        EXPECT_EQ(WaitForSingleObject(host->VideoEvent, 0), WAIT_OBJECT_0);

        ViewerMessage key;
        key.type = ViewerMessageType::kKey;
        key.key = ViewerKey{'a', true};
        Send(*viewer, key);
        EXPECT_TRUE(Eventually([&] { return input_.events.load() == round + 1; }));
        ViewerMessage bye;
        bye.type = ViewerMessageType::kBye;
        Send(*viewer, bye);
        EXPECT_TRUE(Eventually([&] { return seen_.deleted.load() == round + 1; }));
        // The line is logged once the session is over (which also orders this thread after
        // the session's end).
        EXPECT_TRUE(
            Eventually([&] { return seen_.Count("ended: the viewer said bye") == round + 1; }));
        EXPECT_EQ(seen_.heldWhileRunning.load(), kFakeScanner);
        EXPECT_EQ(seen_.heldAtDeletion.load(), 0u);
        EXPECT_EQ(input_.releases.load(), round + 1);
    }
    EXPECT_FALSE(host_->IsOver());
    // One line per connection: who, the verdict, how it ended.
    EXPECT_TRUE(seen_.Logged("connection from 127.0.0.1: admitted; ended: the viewer said bye"))
        << seen_.AllLog();
}

TEST_F(NetHostTest, AWrongPasswordIsRefusedAndTheNextAttemptWaits) {
    StartHost(Config());
    {
        auto viewer = Call();
        ASSERT_TRUE(viewer);
        SendHello(*viewer, "wrong guess");
        AdmissionAnswer answer = ReadAnswer(*viewer);
        EXPECT_FALSE(answer.admitted);
        EXPECT_EQ(answer.retryAfterMs, 400u);
    }
    auto viewer = Call();
    ASSERT_TRUE(viewer);
    auto asked = std::chrono::steady_clock::now();
    SendHello(*viewer, "right one");
    EXPECT_TRUE(ReadAnswer(*viewer).admitted);
    EXPECT_GE(std::chrono::steady_clock::now() - asked, 300ms);
    EXPECT_TRUE(Eventually([&] {
        return seen_.Logged(
            "connection from 127.0.0.1: refused: wrong password (the next "
            "attempt from 127.0.0.1 waits 400 ms)");
    })) << seen_.AllLog();
    EXPECT_FALSE(seen_.Logged("wrong guess"));
    EXPECT_FALSE(seen_.Logged("right one"));
}

TEST_F(NetHostTest, WithoutAPasswordNobodyIsAdmitted) {
    NetHostConfig config = Config();
    config.admission.passwordHash.clear();
    StartHost(std::move(config));
    auto viewer = Call();
    ASSERT_TRUE(viewer);
    SendHello(*viewer, "");
    // An empty password is not even a message: the host refuses the caller as malformed.
    AdmissionAnswer answer = ReadAnswer(*viewer);
    EXPECT_FALSE(answer.admitted);
    auto second = Call();
    ASSERT_TRUE(second);
    SendHello(*second, "anything");
    EXPECT_FALSE(ReadAnswer(*second).admitted);
    EXPECT_TRUE(Eventually([&] { return seen_.Logged("refused: no password is set"); }))
        << seen_.AllLog();
    EXPECT_EQ(seen_.made.load(), 0);
}

TEST_F(NetHostTest, AViewerThatVanishesOrTalksNonsenseEndsOnlyItsSession) {
    StartHost(Config());
    {
        auto viewer = Call();
        ASSERT_TRUE(viewer);
        SendHello(*viewer, "right one");
        EXPECT_TRUE(ReadAnswer(*viewer).admitted);
        EXPECT_EQ(Read(*viewer, kFakeVideo.size()), kFakeVideo);
        viewer->Shutdown();  // gone without a bye
    }
    EXPECT_TRUE(Eventually([&] { return seen_.deleted.load() == 1; }));
    auto viewer = Call();
    ASSERT_TRUE(viewer);
    SendHello(*viewer, "right one");
    EXPECT_TRUE(ReadAnswer(*viewer).admitted);
    const Bytes nonsense = {5, 6, 0, 0, 0, 0, 0, 0x80, 0};  // a pointer with an unknown button
    ASSERT_TRUE(viewer->WriteAll(nonsense.data(), nonsense.size(), nullptr, 1000).ok());
    EXPECT_TRUE(Eventually([&] { return seen_.deleted.load() == 2; }));
    EXPECT_TRUE(Eventually([&] { return seen_.Logged("bad message from the viewer"); }))
        << seen_.AllLog();
    EXPECT_FALSE(host_->IsOver());
}

TEST_F(NetHostTest, APortInUseIsRefusedAtOnceAndQuitEndsTheHost) {
    StartHost(Config());
    NetHostConfig second = Config();
    second.link.listen.port = host_->ListeningPort();
    std::string error;
    EXPECT_FALSE(CNetHost::Create(std::move(second), &error));
    EXPECT_NE(error.find("in use"), std::string::npos) << error;
    host_->Quit();
    EXPECT_TRUE(host_->WaitOver(10000));
}

TEST_F(NetHostTest, CallsOutToAWaitingViewerAndRetriesWhenNobodyAnswers) {
    // Nobody waits at first: the call fails, the host stays up and tries again later.
    std::unique_ptr<farvane::net::TcpListener> viewerSide;
    ASSERT_TRUE(farvane::net::TcpListener::Listen({"127.0.0.1", 0}, &viewerSide).ok());
    const std::uint16_t port = viewerSide->port();
    viewerSide.reset();
    NetHostConfig config = Config();
    config.link.call = farvane::net::Endpoint{"127.0.0.1", port};
    std::string error;
    host_ = CNetHost::Create(std::move(config), &error);
    ASSERT_TRUE(host_) << error;
    EXPECT_EQ(host_->ListeningPort(), 0) << "a calling host listens nowhere";
    host_->Start(1);
    EXPECT_TRUE(Eventually([&] { return seen_.Logged("trying again later"); })) << seen_.AllLog();
    EXPECT_FALSE(host_->IsOver());
    host_->Quit();
    EXPECT_TRUE(host_->WaitOver(10000));

    // A viewer that waits: the host calls, is the TLS server, and admits the viewer.
    ASSERT_TRUE(farvane::net::TcpListener::Listen({"127.0.0.1", 0}, &viewerSide).ok());
    config = Config();
    config.link.call = farvane::net::Endpoint{"127.0.0.1", viewerSide->port()};
    host_ = CNetHost::Create(std::move(config), &error);
    ASSERT_TRUE(host_) << error;
    host_->Start(1);
    std::unique_ptr<farvane::net::TcpSocket> socket;
    ASSERT_TRUE(viewerSide->Accept(nullptr, 10000, &socket).ok());
    std::unique_ptr<TlsStream> viewer;
    ASSERT_TRUE(TlsStream::Connect(std::move(socket), nullptr, 5000, &viewer).ok());
    EXPECT_EQ(viewer->PeerFingerprint(), host_->Fingerprint());
    SendHello(*viewer, "right one");
    EXPECT_TRUE(ReadAnswer(*viewer).admitted);
    EXPECT_EQ(Read(*viewer, kFakeVideo.size()), kFakeVideo);
}

}  // namespace
