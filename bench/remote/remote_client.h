// A viewer of a remote screen for the benchmark: it keeps the latest picture and counts the
// bytes it received. Reading runs on a thread of its own.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class RemoteClient {
public:
    virtual ~RemoteClient() = default;
    // The pixel as 0xRRGGBB; 0xFF000000 when the picture does not cover it yet.
    std::uint32_t Pixel(int x, int y) {
        std::lock_guard guard(lock_);
        if (x < 0 || y < 0 || x >= width_ || y >= height_) {
            return 0xFF000000;
        }
        return pixels_[static_cast<std::size_t>(y) * width_ + x];
    }
    std::uint64_t Bytes() const { return bytes_.load(); }
    const std::string& Failure() const { return failure_; }

protected:
    std::mutex lock_;  // guards width_, height_, pixels_
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> pixels_;
    std::atomic<std::uint64_t> bytes_{0};
    std::atomic<bool> stop_{false};
    std::string failure_;  // set by the reader thread before it ends
    std::thread reader_;
};
