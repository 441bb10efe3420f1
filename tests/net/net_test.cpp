#include <fcntl.h>
#include <gtest/gtest.h>
#include <openssl/ssl.h>
#include <sys/socket.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <thread>
#include <vector>

#include "platform/net/endpoint.h"
#include "platform/net/known_hosts.h"
#include "platform/net/state_dir.h"
#include "platform/net/tcp.h"
#include "platform/net/tls_identity.h"
#include "platform/net/tls_stream.h"

namespace farvane::net {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

class TempFolder {
public:
    TempFolder() {
        char pattern[] = "/tmp/net-test-XXXXXX";
        path_ = mkdtemp(pattern);
    }
    ~TempFolder() { fs::remove_all(path_); }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// A host listening on loopback (port 0) and a caller connected to it over TLS.
struct TlsPair {
    std::unique_ptr<TlsStream> host;
    std::unique_ptr<TlsStream> caller;
};

std::unique_ptr<TlsIdentity> MakeIdentity(const std::string& folder) {
    std::unique_ptr<TlsIdentity> identity;
    NetStatus status = TlsIdentity::LoadOrCreate(folder, &identity);
    EXPECT_TRUE(status.ok()) << status.message;
    return identity;
}

TlsPair Connect(const TlsIdentity& identity, const std::string& loopback) {
    std::unique_ptr<TcpListener> listener;
    NetStatus listened = TcpListener::Listen(Endpoint{loopback, 0}, &listener);
    EXPECT_TRUE(listened.ok()) << listened.message;
    TlsPair pair;
    if (!listener) {
        return pair;
    }
    auto host = std::async(std::launch::async, [&] {
        std::unique_ptr<TcpSocket> socket;
        std::unique_ptr<TlsStream> stream;
        if (listener->Accept(nullptr, 10000, &socket).ok()) {
            TlsStream::Accept(std::move(socket), identity, nullptr, 10000, &stream);
        }
        return stream;
    });
    std::unique_ptr<TcpSocket> socket;
    NetStatus called = ConnectTcp(Endpoint{loopback, listener->port()}, nullptr, 10000, &socket);
    EXPECT_TRUE(called.ok()) << called.message;
    if (socket) {
        NetStatus shaken = TlsStream::Connect(std::move(socket), nullptr, 10000, &pair.caller);
        EXPECT_TRUE(shaken.ok()) << shaken.message;
    }
    pair.host = host.get();
    EXPECT_TRUE(pair.host && pair.caller);
    return pair;
}

std::vector<unsigned char> Pattern(std::size_t size) {
    std::vector<unsigned char> bytes(size);
    for (std::size_t at = 0; at < size; ++at) {
        bytes[at] = static_cast<unsigned char>(at * 7 + at / 251);
    }
    return bytes;
}

// Reads exactly `size` bytes or fails.
std::vector<unsigned char> ReadExactly(TlsStream& stream, std::size_t size) {
    std::vector<unsigned char> bytes(size);
    std::size_t have = 0;
    while (have < size) {
        std::size_t got = 0;
        NetStatus status = stream.Read(bytes.data() + have, size - have, &got, nullptr, 10000);
        if (!status.ok()) {
            ADD_FAILURE() << status.message;
            break;
        }
        have += got;
    }
    bytes.resize(have);
    return bytes;
}

TEST(EndpointTest, ParsesHostPortForms) {
    Endpoint endpoint;
    ASSERT_TRUE(ParseEndpoint("127.0.0.1:5899", &endpoint).ok());
    EXPECT_EQ(endpoint.host, "127.0.0.1");
    EXPECT_EQ(endpoint.port, 5899);
    ASSERT_TRUE(ParseEndpoint("[::1]:0", &endpoint).ok());
    EXPECT_EQ(endpoint.host, "::1");
    EXPECT_EQ(endpoint.port, 0);
    EXPECT_EQ(endpoint.ToString(), "[::1]:0");
    ASSERT_TRUE(ParseEndpoint("localhost:65535", &endpoint).ok());
    EXPECT_EQ(endpoint.port, 65535);
    for (const char* bad : {"", "host", ":80", "host:", "host:65536", "host:8x", "::1:80",
                            "[::1]80", "[::1]", "host:-1"}) {
        NetStatus status = ParseEndpoint(bad, &endpoint);
        EXPECT_EQ(status.code, NetCode::kBadAddress) << bad;
        EXPECT_NE(status.message.find(bad), std::string::npos) << status.message;
    }
}

TEST(TlsIdentityTest, MadeOnceWithAPrivateKeyAndReadBack) {
    TempFolder folder;
    auto first = MakeIdentity(folder.path());
    ASSERT_TRUE(first);
    struct stat info {};
    ASSERT_EQ(stat((folder.path() + "/" + kHostKeyFileName).c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(first->Fingerprint().size(), 7u + 64u);
    EXPECT_EQ(first->Fingerprint().rfind("SHA256:", 0), 0u);
    auto second = MakeIdentity(folder.path());
    ASSERT_TRUE(second);
    EXPECT_EQ(second->Fingerprint(), first->Fingerprint());
    // Nothing but the two files (no temporary left behind).
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 2);
}

TEST(TlsIdentityTest, RefusesAKeyOthersMayReadOrAKeyWithoutCertificate) {
    TempFolder folder;
    ASSERT_TRUE(MakeIdentity(folder.path()));
    const std::string key = folder.path() + "/" + kHostKeyFileName;
    chmod(key.c_str(), 0644);
    std::unique_ptr<TlsIdentity> identity;
    NetStatus status = TlsIdentity::LoadOrCreate(folder.path(), &identity);
    EXPECT_FALSE(status.ok());
    EXPECT_NE(status.message.find("chmod 600"), std::string::npos) << status.message;
    chmod(key.c_str(), 0600);
    fs::remove(folder.path() + "/" + kHostCertificateFileName);
    status = TlsIdentity::LoadOrCreate(folder.path(), &identity);
    EXPECT_FALSE(status.ok());
    EXPECT_TRUE(fs::exists(key)) << "the key must not be replaced";
}

TEST(TlsStreamTest, CarriesBytesBothWaysOverIPv4AndIPv6) {
    TempFolder folder;
    auto identity = MakeIdentity(folder.path());
    ASSERT_TRUE(identity);
    for (const char* loopback : {"127.0.0.1", "::1"}) {
        TlsPair pair = Connect(*identity, loopback);
        if (!pair.host || !pair.caller) {
            if (std::string(loopback) == "::1") {
                GTEST_SKIP() << "no IPv6 loopback here";
            }
            FAIL();
        }
        EXPECT_EQ(pair.caller->PeerFingerprint(), identity->Fingerprint());
        EXPECT_TRUE(pair.host->PeerFingerprint().empty());
        EXPECT_EQ(pair.host->peer(), loopback);
        // Far more than the socket buffers hold: the writer must wait for the reader.
        const std::vector<unsigned char> big = Pattern(4 << 20);
        auto reader =
            std::async(std::launch::async, [&] { return ReadExactly(*pair.caller, big.size()); });
        ASSERT_TRUE(pair.host->WriteAll(big.data(), big.size(), nullptr, 20000).ok());
        EXPECT_TRUE(reader.get() == big);
        const char hello[] = "hello host";
        ASSERT_TRUE(pair.caller->WriteAll(hello, sizeof hello, nullptr, 1000).ok());
        std::vector<unsigned char> got = ReadExactly(*pair.host, sizeof hello);
        EXPECT_EQ(std::string(got.begin(), got.end() - 1), "hello host");
    }
}

TEST(TlsStreamTest, ReadingAndWritingAtOnceFromTwoThreads) {
    TempFolder folder;
    auto identity = MakeIdentity(folder.path());
    TlsPair pair = Connect(*identity, "127.0.0.1");
    ASSERT_TRUE(pair.host && pair.caller);
    const std::vector<unsigned char> down = Pattern(1 << 20);
    const std::vector<unsigned char> up = Pattern(300000);
    // Each side writes on one thread while another thread of the same side reads.
    auto hostWrites = std::async(std::launch::async, [&] {
        return pair.host->WriteAll(down.data(), down.size(), nullptr, 20000).ok();
    });
    auto hostReads =
        std::async(std::launch::async, [&] { return ReadExactly(*pair.host, up.size()); });
    auto callerWrites = std::async(std::launch::async, [&] {
        return pair.caller->WriteAll(up.data(), up.size(), nullptr, 20000).ok();
    });
    EXPECT_TRUE(ReadExactly(*pair.caller, down.size()) == down);
    EXPECT_TRUE(hostWrites.get());
    EXPECT_TRUE(callerWrites.get());
    EXPECT_TRUE(hostReads.get() == up);
}

TEST(TlsStreamTest, AWriterTimesOutAgainstASlowReaderAndResumesWithoutLoss) {
    TempFolder folder;
    auto identity = MakeIdentity(folder.path());
    TlsPair pair = Connect(*identity, "127.0.0.1");
    ASSERT_TRUE(pair.host && pair.caller);
    const std::vector<unsigned char> big = Pattern(8 << 20);
    std::size_t written = 0;
    NetStatus status = pair.host->Write(big.data(), big.size(), &written, nullptr, 100);
    EXPECT_EQ(status.code, NetCode::kTimedOut);
    EXPECT_LT(written, big.size());
    // What the reader's side has not taken in counts as on its way; once it all arrived,
    // nothing does.
    EXPECT_GT(pair.host->Unsent(), 0u);
    auto reader =
        std::async(std::launch::async, [&] { return ReadExactly(*pair.caller, big.size()); });
    while (written < big.size()) {
        std::size_t more = 0;
        status = pair.host->Write(big.data() + written, big.size() - written, &more, nullptr, 100);
        ASSERT_TRUE(status.ok() || status.code == NetCode::kTimedOut) << status.message;
        written += more;
    }
    EXPECT_TRUE(reader.get() == big);
    EXPECT_EQ(pair.host->Unsent(), 0u);
}

TEST(TlsStreamTest, TellsAnOrderlyCloseFromABrokenConnection) {
    TempFolder folder;
    auto identity = MakeIdentity(folder.path());
    TlsPair pair = Connect(*identity, "127.0.0.1");
    ASSERT_TRUE(pair.host && pair.caller);
    pair.caller->Close();
    char byte;
    std::size_t got = 0;
    EXPECT_EQ(pair.host->Read(&byte, 1, &got, nullptr, 5000).code, NetCode::kClosed);

    TlsPair broken = Connect(*identity, "127.0.0.1");
    ASSERT_TRUE(broken.host && broken.caller);
    broken.caller->Shutdown();  // the socket goes without a TLS close
    NetStatus status = broken.host->Read(&byte, 1, &got, nullptr, 5000);
    EXPECT_EQ(status.code, NetCode::kIoFailed) << status.message;
    // Writing to a peer that is gone fails instead of raising SIGPIPE.
    broken.caller.reset();
    const std::vector<unsigned char> bytes = Pattern(1 << 20);
    status = broken.host->WriteAll(bytes.data(), bytes.size(), nullptr, 5000);
    EXPECT_EQ(status.code, NetCode::kIoFailed) << status.message;
}

TEST(TlsStreamTest, RefusesCallersBelowTls13) {
    TempFolder folder;
    auto identity = MakeIdentity(folder.path());
    std::unique_ptr<TcpListener> listener;
    ASSERT_TRUE(TcpListener::Listen(Endpoint{"127.0.0.1", 0}, &listener).ok());
    auto host = std::async(std::launch::async, [&] {
        std::unique_ptr<TcpSocket> socket;
        std::unique_ptr<TlsStream> stream;
        listener->Accept(nullptr, 10000, &socket);
        return TlsStream::Accept(std::move(socket), *identity, nullptr, 10000, &stream);
    });
    std::unique_ptr<TcpSocket> socket;
    ASSERT_TRUE(ConnectTcp(Endpoint{"127.0.0.1", listener->port()}, nullptr, 5000, &socket).ok());
    SSL_CTX* context = SSL_CTX_new(TLS_client_method());
    SSL_CTX_set_max_proto_version(context, TLS1_2_VERSION);
    SSL* ssl = SSL_new(context);
    int fd = dup(socket->fd());
    int flags = fcntl(fd, F_GETFL);
    fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    SSL_set_fd(ssl, fd);
    EXPECT_NE(SSL_connect(ssl), 1);
    EXPECT_EQ(host.get().code, NetCode::kTlsFailed);
    SSL_free(ssl);
    SSL_CTX_free(context);
    close(fd);
}

TEST(TcpTest, FailuresAreTold) {
    std::unique_ptr<TcpListener> holder;
    ASSERT_TRUE(TcpListener::Listen(Endpoint{"127.0.0.1", 0}, &holder).ok());
    std::unique_ptr<TcpListener> second;
    EXPECT_EQ(TcpListener::Listen(Endpoint{"127.0.0.1", holder->port()}, &second).code,
              NetCode::kAddressInUse);
    EXPECT_EQ(TcpListener::Listen(Endpoint{"192.0.2.1", 0}, &second).code, NetCode::kBadAddress);
    EXPECT_EQ(TcpListener::Listen(Endpoint{"no-such-host.invalid", 0}, &second).code,
              NetCode::kBadAddress);
    // A port nobody listens on: take one, then free it.
    std::uint16_t freed = 0;
    {
        std::unique_ptr<TcpListener> gone;
        ASSERT_TRUE(TcpListener::Listen(Endpoint{"127.0.0.1", 0}, &gone).ok());
        freed = gone->port();
    }
    std::unique_ptr<TcpSocket> socket;
    EXPECT_EQ(ConnectTcp(Endpoint{"127.0.0.1", freed}, nullptr, 5000, &socket).code,
              NetCode::kUnreachable);
}

TEST(TcpTest, WaitsEndWhenCancelledOrShutDown) {
    std::unique_ptr<TcpListener> listener;
    ASSERT_TRUE(TcpListener::Listen(Endpoint{"127.0.0.1", 0}, &listener).ok());
    WakeUp cancel;
    auto accepting = std::async(std::launch::async, [&] {
        std::unique_ptr<TcpSocket> socket;
        return listener->Accept(&cancel, -1, &socket).code;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    Clock::time_point asked = Clock::now();
    cancel.Signal();
    EXPECT_EQ(accepting.get(), NetCode::kCancelled);
    EXPECT_LT(Clock::now() - asked, std::chrono::seconds(2));
    // A signalled wake-up ends later waits at once, until it is reset.
    std::unique_ptr<TcpSocket> socket;
    EXPECT_EQ(listener->Accept(&cancel, -1, &socket).code, NetCode::kCancelled);
    cancel.Reset();
    EXPECT_EQ(listener->Accept(&cancel, 10, &socket).code, NetCode::kTimedOut);

    TempFolder folder;
    auto identity = MakeIdentity(folder.path());
    TlsPair pair = Connect(*identity, "127.0.0.1");
    ASSERT_TRUE(pair.host && pair.caller);
    auto reading = std::async(std::launch::async, [&] {
        char byte;
        std::size_t got = 0;
        return pair.host->Read(&byte, 1, &got, nullptr, -1).code;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    asked = Clock::now();
    pair.host->Shutdown();
    EXPECT_EQ(reading.get(), NetCode::kCancelled);
    EXPECT_LT(Clock::now() - asked, std::chrono::seconds(2));
}

TEST(KnownHostsTest, PinsOnceAndRefusesAChangedFingerprint) {
    TempFolder folder;
    const std::string path = folder.path() + "/known_hosts";
    const std::string first = "SHA256:" + std::string(64, 'a');
    const std::string other = "SHA256:" + std::string(64, 'b');
    HostTrust trust;
    std::string pinned;
    ASSERT_TRUE(CheckKnownHost(path, "host:1", first, &trust, &pinned).ok());
    EXPECT_EQ(trust, HostTrust::kUnknown);
    {
        std::ofstream file(path);
        file << "# my hosts\nelsewhere:2 " << other << "\n";
    }
    ASSERT_TRUE(PinKnownHost(path, "host:1", first).ok());
    ASSERT_TRUE(CheckKnownHost(path, "host:1", first, &trust, &pinned).ok());
    EXPECT_EQ(trust, HostTrust::kKnown);
    ASSERT_TRUE(CheckKnownHost(path, "host:1", other, &trust, &pinned).ok());
    EXPECT_EQ(trust, HostTrust::kChanged);
    EXPECT_EQ(pinned, first);
    std::string message = ChangedHostMessage(path, "host:1", pinned, other);
    EXPECT_NE(message.find(first), std::string::npos);
    EXPECT_NE(message.find(other), std::string::npos);
    // Pinning again replaces the line and keeps the others.
    ASSERT_TRUE(PinKnownHost(path, "host:1", other).ok());
    std::ifstream file(path);
    std::string contents((std::istreambuf_iterator<char>(file)), {});
    EXPECT_EQ(contents, "# my hosts\nelsewhere:2 " + other + "\nhost:1 " + other + "\n");
}

TEST(StateDirectoryTest, ComesFromTheEnvironmentAndIsPrivate) {
    TempFolder folder;
    const std::string wanted = folder.path() + "/deeper/state";
    setenv("FARVANE_STATE_DIR", wanted.c_str(), 1);
    std::string path;
    ASSERT_TRUE(UserStateDirectory(&path).ok());
    unsetenv("FARVANE_STATE_DIR");
    EXPECT_EQ(path, wanted);
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
}

}  // namespace
}  // namespace farvane::net
