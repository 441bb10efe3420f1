// One direction of the gateway's relay over a socket pair whose far side takes little at a
// time: every byte arrives once, in order, however the writes are cut; and how it ends.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <thread>
#include <vector>

#include "platform/net/relay_pipe.h"

namespace {

using farvane::net::RelayPipe;

struct SocketPair {
    SocketPair() { EXPECT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0, fds), 0); }
    ~SocketPair() {
        close(fds[0]);
        if (fds[1] >= 0) {
            close(fds[1]);
        }
    }
    int fds[2] = {-1, -1};
};

// Runs the pipe from `from` to `to` until it is done or `limit` polls have passed.
void Pump(RelayPipe& pipe, int from, int to, int limit) {
    for (int round = 0; round < limit && !pipe.Done(); ++round) {
        pollfd entries[2] = {{from, static_cast<short>(pipe.WantsRead() ? POLLIN : 0), 0},
                             {to, static_cast<short>(pipe.WantsWrite() ? POLLOUT : 0), 0}};
        poll(entries, 2, 50);
        if (entries[0].revents != 0) {
            pipe.OnReadable();
        }
        if (entries[1].revents != 0) {
            pipe.OnWritable();
        }
    }
}

TEST(RelayPipe, ASlowReaderGetsEveryByteInOrderAndTheEndAfterThem) {
    SocketPair source;       // the test writes fds[0]; the pipe reads fds[1]
    SocketPair destination;  // the pipe writes fds[0]; the test reads fds[1]
    int small = 2048;
    setsockopt(destination.fds[0], SOL_SOCKET, SO_SNDBUF, &small, sizeof small);
    std::vector<std::uint8_t> sent(256 * 1024);
    for (std::size_t at = 0; at < sent.size(); ++at) {
        sent[at] = static_cast<std::uint8_t>(at % 251);
    }
    std::size_t tapped = 0;
    RelayPipe pipe(source.fds[1], destination.fds[0], 8192,
                   [&](std::span<const std::uint8_t> bytes) { tapped += bytes.size(); });
    std::thread writer([&] {
        fcntl(source.fds[0], F_SETFL, 0);  // blocking, for the writer
        for (std::size_t at = 0; at < sent.size();) {
            ssize_t n = write(source.fds[0], sent.data() + at, sent.size() - at);
            ASSERT_GT(n, 0);
            at += static_cast<std::size_t>(n);
        }
        shutdown(source.fds[0], SHUT_WR);
    });
    std::vector<std::uint8_t> received;
    std::thread reader([&] {
        fcntl(destination.fds[1], F_SETFL, 0);
        std::uint8_t buffer[700];
        for (;;) {
            ssize_t n = read(destination.fds[1], buffer, sizeof buffer);
            if (n <= 0) {
                return;
            }
            received.insert(received.end(), buffer, buffer + n);
            if (received.size() < 32 * 1024) {
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
        }
    });
    Pump(pipe, source.fds[1], destination.fds[0], 100000);
    EXPECT_TRUE(pipe.Done());
    EXPECT_EQ(pipe.state(), RelayPipe::State::kEnded);
    shutdown(destination.fds[0], SHUT_WR);
    writer.join();
    reader.join();
    EXPECT_EQ(received.size(), sent.size());
    EXPECT_TRUE(received == sent);
    EXPECT_EQ(tapped, sent.size());
}

TEST(RelayPipe, AGoneReaderBreaksThePipe) {
    SocketPair source;
    SocketPair destination;
    RelayPipe pipe(source.fds[1], destination.fds[0], 4096);
    close(destination.fds[1]);
    destination.fds[1] = -1;
    const std::uint8_t bytes[64] = {};
    ASSERT_EQ(write(source.fds[0], bytes, sizeof bytes), static_cast<ssize_t>(sizeof bytes));
    Pump(pipe, source.fds[1], destination.fds[0], 100);
    EXPECT_EQ(pipe.state(), RelayPipe::State::kBroken);
    EXPECT_TRUE(pipe.Done());
    EXPECT_FALSE(pipe.WantsRead());
}

}  // namespace
