// A small RFB viewer that counts bytes: it asks a VNC server for ZRLE pictures at 3-3-2 colour
// (8-bit true colour, blue in the top two bits as bgr233), then keeps asking for changes, and
// counts every byte the server sends after its greeting.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <thread>

namespace peers {

class RfbCounter {
public:
    RfbCounter() = default;
    ~RfbCounter() { Stop(); }
    RfbCounter(const RfbCounter&) = delete;
    RfbCounter& operator=(const RfbCounter&) = delete;

    // Connects to the server on the loopback port (retrying while it starts, at most
    // `waitMs`) and starts reading on a thread of its own.
    bool Start(int port, int waitMs, std::string& error);
    void Stop();

    // Bytes received since the first picture was asked for.
    std::size_t Bytes() const { return bytes_.load(); }
    // Bytes of the first whole picture: every pixel of the screen covered; 0 until then.
    std::size_t FirstPictureBytes() const { return firstPicture_.load(); }
    // Milliseconds since the last byte arrived.
    long IdleMs() const;
    // Set when the connection failed or the server sent something this viewer cannot read.
    bool Failed() const { return failed_.load(); }
    std::string FailureText() const;

private:
    bool Handshake(std::string& error);
    void ReadLoop();
    bool ReadUpdate();
    bool ReadExact(void* bytes, std::size_t count);
    bool Skip(std::size_t count);
    bool Send(const void* bytes, std::size_t count);
    bool RequestUpdate(bool incremental);

    int socket_ = -1;
    int width_ = 0;
    int height_ = 0;
    std::uint64_t covered_ = 0;
    std::atomic<std::size_t> bytes_{0};
    std::atomic<std::size_t> firstPicture_{0};
    std::atomic<long> lastByteMs_{0};
    std::atomic<bool> failed_{false};
    std::atomic<bool> stopping_{false};
    std::string failure_;  // written by the reader before failed_ is set
    std::thread reader_;
};

// A loopback TCP port that was free a moment ago (the system chose it).
int FreeLoopbackPort();

}  // namespace peers
