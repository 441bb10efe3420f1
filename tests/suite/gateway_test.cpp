// The gateway in one process: its file, its switch between callers on loopback (pairing,
// answers, the relay and its end), and the manager's refusal of a bad file.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <mutex>
#include <thread>

#include "platform/net/tcp.h"
#include "session/gateway_call.h"
#include "session/gateway_preface.h"
#include "session/svc_mgr.h"
#include "suite/fvses32/gateway_file.h"
#include "suite/fvses32/gateway_switch.h"

namespace {

using namespace std::chrono_literals;
using farvane::net::NetCode;
using farvane::net::NetStatus;
using farvane::net::TcpListener;
using farvane::net::TcpSocket;
using farvane::net::WakeUp;
using Bytes = std::vector<std::uint8_t>;

TEST(GatewayFile, DefaultsToLoopbackAndTheKnownPorts) {
    GatewayFile file;
    std::string error;
    ASSERT_TRUE(ParseGatewayFile("", &file, &error)) << error;
    EXPECT_EQ(file.hosts.ToString(), "127.0.0.1:5898");
    EXPECT_EQ(file.viewers.ToString(), "127.0.0.1:5897");
    ASSERT_TRUE(
        ParseGatewayFile("[hosts]\nAddress=0.0.0.0\nport = 7000\n[Viewers]\n"
                         "Address=[::1]\nPort=0\n",
                         &file, &error))
        << error;
    EXPECT_EQ(file.hosts.ToString(), "0.0.0.0:7000");
    EXPECT_EQ(file.viewers.host, "::1");
    EXPECT_EQ(file.viewers.port, 0);
    for (const char* bad :
         {"[Hosts]\nPort=65536\n", "[Viewers]\nPort=12ab\n", "[Viewers]\nPort=-1\n"}) {
        EXPECT_FALSE(ParseGatewayFile(bad, &file, &error)) << bad;
        EXPECT_NE(error.find("Port="), std::string::npos) << error;
    }
    EXPECT_FALSE(ReadGatewayFile("/nonexistent/relay.gwf", &file, &error));
    EXPECT_NE(error.find("/nonexistent/relay.gwf"), std::string::npos);
}

TEST(GatewayManager, ABadFileFailsTheConstructionAsOutOfMemory) {
    char pattern[] = "/tmp/gateway-test-XXXXXX";
    const std::string folder = mkdtemp(pattern);
    const std::string path = folder + "/bad.gwf";
    std::ofstream(path) << "[Hosts]\nPort=none\n";
    EXPECT_THROW(CGatewaySvcMgr{path.c_str()}, std::bad_alloc);
    EXPECT_THROW(CGatewaySvcMgr{(folder + "/missing.gwf").c_str()}, std::bad_alloc);
    std::filesystem::remove_all(folder);
}

// A gateway on two loopback ports, run on a thread of its own.
class GatewaySwitchTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::unique_ptr<TcpListener> hosts;
        std::unique_ptr<TcpListener> viewers;
        ASSERT_TRUE(TcpListener::Listen({"127.0.0.1", 0}, &hosts).ok());
        ASSERT_TRUE(TcpListener::Listen({"127.0.0.1", 0}, &viewers).ok());
        hostPort_ = hosts->port();
        viewerPort_ = viewers->port();
        GatewaySwitchConfig config;
        config.log = [this](const std::string& line) {
            std::lock_guard guard(lock_);
            log_ += line + "\n";
        };
        config.tapToViewer = [this](std::span<const std::uint8_t> bytes) {
            std::lock_guard guard(lock_);
            tappedToViewer_ += bytes.size();
        };
        config.tapToHost = [this](std::span<const std::uint8_t> bytes) {
            std::lock_guard guard(lock_);
            tappedToHost_.insert(tappedToHost_.end(), bytes.begin(), bytes.end());
        };
        config.prefaceTimeout = 300ms;
        config.relayBuffer = 4096;  // small, so the relay has to wait for a slow reader
        switch_ = std::make_unique<GatewaySwitch>(std::move(hosts), std::move(viewers), config);
        run_ = std::async(std::launch::async, [this] { return switch_->Run(cancel_); });
    }
    void TearDown() override {
        cancel_.Signal();
        if (run_.valid()) {
            run_.wait();
        }
    }

    std::unique_ptr<TcpSocket> Call(std::uint16_t port) {
        std::unique_ptr<TcpSocket> socket;
        EXPECT_TRUE(farvane::net::ConnectTcp({"127.0.0.1", port}, nullptr, 5000, &socket).ok());
        return socket;
    }
    static void Send(TcpSocket& socket, const Bytes& bytes) {
        ASSERT_TRUE(farvane::net::SendAll(socket, bytes.data(), bytes.size(), nullptr, 5000).ok());
    }
    static Bytes Preface(GatewayRole role, const std::string& name) {
        Bytes bytes;
        AppendGatewayPreface(GatewayPreface{role, name}, &bytes);
        return bytes;
    }
    // The next byte from the gateway, or -1 when the connection ended.
    static int NextByte(TcpSocket& socket) {
        std::uint8_t byte = 0;
        std::size_t got = 0;
        NetStatus status = farvane::net::Receive(socket, &byte, 1, &got, nullptr, 5000);
        return status.ok() ? byte : -1;
    }
    static int Byte(GatewayAnswer answer) { return static_cast<int>(answer); }
    // A host registered under `name`, told so.
    std::unique_ptr<TcpSocket> RegisteredHost(const std::string& name) {
        auto host = Call(hostPort_);
        Send(*host, Preface(GatewayRole::kHost, name));
        EXPECT_EQ(NextByte(*host), Byte(GatewayAnswer::kRegistered));
        return host;
    }
    // What a caller with `bytes` on `port` is answered, and that the gateway then closes.
    int Answered(std::uint16_t port, const Bytes& bytes) {
        auto socket = Call(port);
        Send(*socket, bytes);
        int answer = NextByte(*socket);
        EXPECT_EQ(NextByte(*socket), -1);
        return answer;
    }
    std::string Log() {
        std::lock_guard guard(lock_);
        return log_;
    }

    std::uint16_t hostPort_ = 0;
    std::uint16_t viewerPort_ = 0;
    WakeUp cancel_;
    std::unique_ptr<GatewaySwitch> switch_;
    std::future<bool> run_;
    std::mutex lock_;
    std::string log_;
    std::size_t tappedToViewer_ = 0;
    Bytes tappedToHost_;
};

TEST_F(GatewaySwitchTest, PairsTheHostNamedRelaysBothWaysAndEndsWhenASideHangsUp) {
    // The callers' own side of the preface: the host is told it waits, then that it is paired.
    std::promise<void> registered;
    std::unique_ptr<TcpSocket> host = Call(hostPort_);
    auto hostPaired = std::async(std::launch::async, [&] {
        return RegisterAtGateway(*host, "desk", nullptr, 5000, [&] { registered.set_value(); });
    });
    ASSERT_EQ(registered.get_future().wait_for(5s), std::future_status::ready);
    std::unique_ptr<TcpSocket> viewer = Call(viewerPort_);
    ASSERT_TRUE(AskGatewayFor(*viewer, "desk", nullptr, 5000).ok());
    ASSERT_TRUE(hostPaired.get().ok());

    // While the pair is relayed, nobody else gets in.
    EXPECT_EQ(Answered(viewerPort_, Preface(GatewayRole::kViewer, "desk")),
              Byte(GatewayAnswer::kBusy));
    EXPECT_EQ(Answered(hostPort_, Preface(GatewayRole::kHost, "other")),
              Byte(GatewayAnswer::kBusy));

    const Bytes request = {'h', 'e', 'l', 'l', 'o', 0x00, 0xFF};
    Send(*viewer, request);
    Bytes got(request.size());
    for (std::size_t have = 0; have < got.size();) {
        std::size_t n = 0;
        ASSERT_TRUE(
            farvane::net::Receive(*host, got.data() + have, got.size() - have, &n, nullptr, 5000)
                .ok());
        have += n;
    }
    EXPECT_EQ(got, request);
    // Far more than the relay holds, read slowly: nothing is lost or reordered.
    Bytes picture(300 * 1024);
    for (std::size_t at = 0; at < picture.size(); ++at) {
        picture[at] = static_cast<std::uint8_t>(at * 7 + at / 251);
    }
    std::thread writer([&] { Send(*host, picture); });
    Bytes received;
    while (received.size() < picture.size()) {
        std::uint8_t buffer[1500];
        std::size_t n = 0;
        ASSERT_TRUE(farvane::net::Receive(*viewer, buffer, sizeof buffer, &n, nullptr, 5000).ok());
        received.insert(received.end(), buffer, buffer + n);
        if (received.size() < 64 * 1024) {
            std::this_thread::sleep_for(1ms);
        }
    }
    writer.join();
    EXPECT_TRUE(received == picture);
    {
        std::lock_guard guard(lock_);
        EXPECT_EQ(tappedToHost_, request);
        EXPECT_EQ(tappedToViewer_, picture.size());
    }

    // The host goes: the viewer is closed and the session is over.
    host.reset();
    EXPECT_EQ(NextByte(*viewer), -1);
    ASSERT_EQ(run_.wait_for(5s), std::future_status::ready);
    EXPECT_TRUE(run_.get());
    EXPECT_NE(Log().find("the relay of host desk ended: the host hung up"), std::string::npos)
        << Log();
}

TEST_F(GatewaySwitchTest, CallersAreAnsweredWhyTheyAreNotPaired) {
    EXPECT_EQ(Answered(viewerPort_, Preface(GatewayRole::kViewer, "desk")),
              Byte(GatewayAnswer::kUnknownName));
    auto desk = RegisteredHost("desk");
    EXPECT_EQ(Answered(hostPort_, Preface(GatewayRole::kHost, "desk")), Byte(GatewayAnswer::kBusy));
    // Each port takes its own callers only.
    EXPECT_EQ(Answered(hostPort_, Preface(GatewayRole::kViewer, "desk")),
              Byte(GatewayAnswer::kRefused));
    EXPECT_EQ(Answered(viewerPort_, Preface(GatewayRole::kHost, "desk2")),
              Byte(GatewayAnswer::kRefused));
    EXPECT_EQ(Answered(viewerPort_, {0x16, 0x03, 0x01, 0x00}), Byte(GatewayAnswer::kRefused));
    // A caller that says nothing is not waited for long.
    auto silent = Call(viewerPort_);
    EXPECT_EQ(NextByte(*silent), Byte(GatewayAnswer::kRefused));
    // A host that went is no longer there to pair with, and its name is free again.
    desk.reset();
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(Answered(viewerPort_, Preface(GatewayRole::kViewer, "desk")),
              Byte(GatewayAnswer::kUnknownName));
    auto again = RegisteredHost("desk");
    // The viewer's side says why, naming the host.
    auto viewer = Call(viewerPort_);
    NetStatus status = AskGatewayFor(*viewer, "lobby", nullptr, 5000);
    EXPECT_EQ(status.code, NetCode::kUnreachable);
    EXPECT_NE(status.message.find("no host named lobby"), std::string::npos) << status.message;
    EXPECT_EQ(run_.wait_for(0s), std::future_status::timeout) << "no pair ended, no session end";
}

TEST_F(GatewaySwitchTest, ATeardownEndsTheSessionAtOnceWhateverWaits) {
    auto host = RegisteredHost("desk");
    auto halfSaid = Call(viewerPort_);
    Send(*halfSaid, {0x1B, 0x47, 1});
    auto start = std::chrono::steady_clock::now();
    cancel_.Signal();
    ASSERT_EQ(run_.wait_for(2s), std::future_status::ready);
    EXPECT_FALSE(run_.get());
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    switch_.reset();
    EXPECT_EQ(NextByte(*host), -1);  // the waiting host is let go
}

}  // namespace
