// Damage hints: which bands of a screen's rows were drawn on since a reader last took them.
//
// A display that learns of drawing (the X server's damage reports, the memory display's own
// drawing helpers) marks the bands a drawing touched and wakes the reader. A reader clears a
// band's mark before it reads the band, so that drawing that lands while the band is being
// read leaves the mark set for the next read. Hints are hints: a display may miss drawing, so
// a reader still reads everything now and then.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace farvane::gdi {

class DamageHints {
public:
    // Bands of bandHeight rows from the top of the screen; wake is called (on the display's
    // thread) after each batch of marks, until Detach.
    DamageHints(int bandHeight, int bandCount, std::function<void()> wake);
    DamageHints(const DamageHints&) = delete;
    DamageHints& operator=(const DamageHints&) = delete;

    int bandCount() const { return bandCount_; }

    // Reader side. Take clears the band's mark and tells whether it was set; once the hints
    // are lost every band counts as drawn on.
    bool Take(int band);
    bool Pending(int band) const;
    bool AnyPending() const;
    bool Lost() const { return lost_.load(std::memory_order_acquire); }
    // Marks a band again, for a read that failed.
    void MarkBand(int band);
    // No wake calls after this returns.
    void Detach();

    // Display side. Marks the bands that rows y to y + height - 1 touch; Wake calls wake.
    void MarkRows(int y, int height);
    void Wake();
    // The display can report no more: every band counts as drawn on from now on.
    void Lose();

private:
    const int bandHeight_;
    const int bandCount_;
    std::unique_ptr<std::atomic<bool>[]> marks_;
    std::atomic<bool> lost_{false};
    std::mutex wakeMutex_;  // orders wake calls against Detach
    std::function<void()> wake_;
};

// The readers of one display's damage. Thread-safe.
class DamageSource {
public:
    std::shared_ptr<DamageHints> Watch(int bandHeight, int bandCount, std::function<void()> wake);
    // A drawing touched rows y to y + height - 1 (x and width do not matter to the bands).
    struct Rows {
        int y = 0;
        int height = 0;
    };
    // Marks every reader's bands for the drawings, then wakes each reader once.
    void Report(const std::vector<Rows>& drawn);
    // Wakes every reader without marking a band (a cursor change, say).
    void WakeAll();
    void LoseAll();
    bool HasReaders();

private:
    std::vector<std::shared_ptr<DamageHints>> LiveReaders();

    std::mutex mutex_;
    std::vector<std::weak_ptr<DamageHints>> readers_;
};

}  // namespace farvane::gdi
