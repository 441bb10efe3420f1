#include "videoscan/row_schedule.h"

#include <algorithm>

namespace videoscan {

RowSchedule::~RowSchedule() {
    Forget();
}

void RowSchedule::Watch(std::shared_ptr<farvane::gdi::DamageHints> hints) {
    Forget();
    hints_ = std::move(hints);
    fresh_ = true;
}

void RowSchedule::Forget() {
    if (hints_) {
        hints_->Detach();
        hints_.reset();
    }
}

void RowSchedule::BeginPass(std::uint32_t now, bool mustBeFull) {
    // Tick counts wrap at 2^32; the unsigned difference stays right across the wrap.
    full_ = mustBeFull || fresh_ || !hinted() || now - lastFullPass_ >= kFullPassInterval;
    fresh_ = false;
    if (full_) {
        lastFullPass_ = now;
    }
}

std::uint16_t RowSchedule::NextRow(std::uint16_t row, std::uint16_t rows) const {
    if (full_ || !hinted()) {
        return std::min(row, rows);
    }
    while (row < rows && !hints_->Pending(row)) {
        ++row;
    }
    return row;
}

bool RowSchedule::TakeRow(std::uint16_t row) {
    return hints_ != nullptr && hints_->Take(row);
}

void RowSchedule::RowFailed(std::uint16_t row) {
    if (hints_) {
        hints_->MarkBand(row);
    }
}

std::uint32_t RowSchedule::IdleTime(std::uint32_t now) const {
    if (!hinted() || hints_->AnyPending()) {
        return 0;
    }
    const std::uint32_t sinceFull = now - lastFullPass_;
    if (sinceFull >= kFullPassInterval) {
        return 0;
    }
    return std::min(kFullPassInterval - sinceFull, kLongestIdle);
}

}  // namespace videoscan
