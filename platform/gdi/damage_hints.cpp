#include "platform/gdi/damage_hints.h"

#include <algorithm>

namespace farvane::gdi {

DamageHints::DamageHints(int bandHeight, int bandCount, std::function<void()> wake)
    : bandHeight_(std::max(bandHeight, 1)),
      bandCount_(std::max(bandCount, 0)),
      marks_(std::make_unique<std::atomic<bool>[]>(static_cast<std::size_t>(bandCount_))),
      wake_(std::move(wake)) {}

bool DamageHints::Take(int band) {
    if (band < 0 || band >= bandCount_) {
        return false;
    }
    // Cleared before the caller reads: a mark set during the read stays for the next one.
    const bool marked = marks_[band].exchange(false, std::memory_order_acq_rel);
    return marked || Lost();
}

bool DamageHints::Pending(int band) const {
    if (band < 0 || band >= bandCount_) {
        return false;
    }
    return marks_[band].load(std::memory_order_acquire) || Lost();
}

bool DamageHints::AnyPending() const {
    for (int band = 0; band < bandCount_; ++band) {
        if (marks_[band].load(std::memory_order_acquire)) {
            return true;
        }
    }
    return Lost();
}

void DamageHints::MarkBand(int band) {
    if (band >= 0 && band < bandCount_) {
        marks_[band].store(true, std::memory_order_release);
    }
}

void DamageHints::Detach() {
    std::lock_guard guard(wakeMutex_);
    wake_ = nullptr;
}

void DamageHints::MarkRows(int y, int height) {
    if (height <= 0 || bandCount_ == 0) {
        return;
    }
    const long long top = std::max(y, 0);
    const long long bottom = static_cast<long long>(y) + height - 1;
    if (bottom < 0) {
        return;
    }
    const long long last = std::min<long long>(bottom / bandHeight_, bandCount_ - 1);
    for (long long band = top / bandHeight_; band <= last; ++band) {
        marks_[band].store(true, std::memory_order_release);
    }
}

void DamageHints::Wake() {
    std::lock_guard guard(wakeMutex_);
    if (wake_) {
        wake_();
    }
}

void DamageHints::Lose() {
    lost_.store(true, std::memory_order_release);
    Wake();
}

std::shared_ptr<DamageHints> DamageSource::Watch(int bandHeight, int bandCount,
                                                 std::function<void()> wake) {
    auto hints = std::make_shared<DamageHints>(bandHeight, bandCount, std::move(wake));
    std::lock_guard guard(mutex_);
    std::erase_if(readers_, [](const std::weak_ptr<DamageHints>& r) { return r.expired(); });
    readers_.push_back(hints);
    return hints;
}

std::vector<std::shared_ptr<DamageHints>> DamageSource::LiveReaders() {
    std::vector<std::shared_ptr<DamageHints>> live;
    std::lock_guard guard(mutex_);
    for (const auto& reader : readers_) {
        if (auto hints = reader.lock()) {
            live.push_back(std::move(hints));
        }
    }
    return live;
}

void DamageSource::Report(const std::vector<Rows>& drawn) {
    if (drawn.empty()) {
        return;
    }
    for (const auto& hints : LiveReaders()) {
        for (const Rows& rows : drawn) {
            hints->MarkRows(rows.y, rows.height);
        }
        hints->Wake();
    }
}

void DamageSource::WakeAll() {
    for (const auto& hints : LiveReaders()) {
        hints->Wake();
    }
}

void DamageSource::LoseAll() {
    for (const auto& hints : LiveReaders()) {
        hints->Lose();
    }
}

bool DamageSource::HasReaders() {
    std::lock_guard guard(mutex_);
    return std::any_of(readers_.begin(), readers_.end(),
                       [](const std::weak_ptr<DamageHints>& r) { return !r.expired(); });
}

}  // namespace farvane::gdi
