#include "platform/kernel/kernel_object.h"

#include "platform/kernel/unlocked_access.h"

namespace farvane::kernel {

void WaitQueue::PushBack(WaitNode* node) {
    node->previous = tail_;
    node->next = nullptr;
    if (tail_ != nullptr) {
        tail_->next = node;
    } else {
        head_ = node;
    }
    tail_ = node;
    node->linked = true;
}

void WaitQueue::Remove(WaitNode* node) {
    if (!node->linked) {
        return;
    }
    if (node->previous != nullptr) {
        node->previous->next = node->next;
    } else {
        head_ = node->next;
    }
    if (node->next != nullptr) {
        node->next->previous = node->previous;
    } else {
        tail_ = node->previous;
    }
    node->previous = node->next = nullptr;
    node->linked = false;
}

void ReleaseReference(KernelObject* object) {
    if (object != nullptr && --object->references == 0) {
        RetireObject(object);
    }
}

}  // namespace farvane::kernel
