#include "pass_tracker.h"

namespace fvstream {

namespace {

bool isCell(const videodecode::RecordInfo& record) {
    return record.kind == videodecode::RecordKind::Cell ||
           record.kind == videodecode::RecordKind::CacheDraw;
}

}  // namespace

bool PassTracker::closePass() {
    if (!drawnSinceBoundary_) {
        return false;
    }
    drawnSinceBoundary_ = false;
    ++passesEnded_;
    return true;
}

bool PassTracker::beginsNewPass(const videodecode::FrameInfo& frame) {
    bool boundary = false;
    if (frame.count(videodecode::RecordKind::VideoStart) > 0) {
        boundary = closePass();
        lastCell_.reset();
    }
    const videodecode::RecordInfo* first = nullptr;
    const videodecode::RecordInfo* last = nullptr;
    for (const videodecode::RecordInfo& record : frame.records) {
        if (isCell(record)) {
            first = first ? first : &record;
            last = &record;
        }
    }
    if (first == nullptr) {
        return boundary;
    }
    const ScanPosition firstPosition{first->y, first->x};
    if (lastCell_ && firstPosition <= *lastCell_) {
        boundary = closePass() || boundary;
    }
    lastCell_ = ScanPosition{last->y, last->x};
    drawnSinceBoundary_ = true;
    return boundary;
}

void PassTracker::endStream() {
    closePass();
}

}  // namespace fvstream
