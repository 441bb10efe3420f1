// Which rows of cells a pass over the screen reads. Without damage hints every pass reads
// every row. With them, a pass reads only the rows drawn on since they were last read, and
// the check thread may wait for drawing between passes instead of passing over a screen that
// did not change; since a display may miss drawing, a full pass that reads every row still
// begins at least every kFullPassInterval ms. Used by the check thread only.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/gdi/damage_hints.h"

namespace videoscan {

class RowSchedule {
public:
    static constexpr std::uint32_t kFullPassInterval = 2000;
    // Longest wait for drawing, so that the thread still sees the CB items change.
    static constexpr std::uint32_t kLongestIdle = 200;

    RowSchedule() = default;
    ~RowSchedule();
    RowSchedule(const RowSchedule&) = delete;
    RowSchedule& operator=(const RowSchedule&) = delete;

    // Uses these hints from the next pass on (null: none); the pass that follows is full.
    void Watch(std::shared_ptr<farvane::gdi::DamageHints> hints);
    // Drops the hints; their wake call is not made after this returns.
    void Forget();
    bool watching() const { return hints_ != nullptr; }
    // Hints that still report drawing.
    bool hinted() const { return hints_ != nullptr && !hints_->Lost(); }

    // Starts a pass at tick count now. It is full when mustBeFull, when there are no live
    // hints, when the hints were just taken, or when the last full pass began
    // kFullPassInterval ms ago or more.
    void BeginPass(std::uint32_t now, bool mustBeFull);
    bool full() const { return full_; }
    // The first row from `row` on that this pass reads; `rows` when there is none.
    std::uint16_t NextRow(std::uint16_t row, std::uint16_t rows) const;
    // Clears the row's mark just before it is read (drawing during the read marks it again)
    // and tells whether it was marked.
    bool TakeRow(std::uint16_t row);
    // A read of the row failed: it is read again in the next pass.
    void RowFailed(std::uint16_t row);
    // How long, at tick count now, the check thread may wait for drawing before its next
    // pass; 0 when it should go on at once.
    std::uint32_t IdleTime(std::uint32_t now) const;

private:
    std::shared_ptr<farvane::gdi::DamageHints> hints_;
    bool full_ = true;
    bool fresh_ = true;  // hints taken since the last pass began
    std::uint32_t lastFullPass_ = 0;
};

}  // namespace videoscan
