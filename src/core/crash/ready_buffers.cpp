#include "core/crash/ready_buffers.h"

namespace flextor {
namespace {

static_assert(std::atomic<int>::is_always_lock_free);
static_assert(std::atomic<bool>::is_always_lock_free);

}  // namespace

FixedText ReadyBuffers::Spare() {
    if (taken_.load()) {
        return FixedText(nullptr, 0);
    }
    if (!slots_[0].data) {
        slots_[0].data = new char[capacity_];
        slots_[1].data = new char[capacity_];
    }
    const int spare = published_.load(std::memory_order_relaxed) == 0 ? 1 : 0;
    return FixedText(slots_[spare].data, capacity_);
}

void ReadyBuffers::Publish(const FixedText& text, uint8_t tag) {
    const int spare = published_.load(std::memory_order_relaxed) == 0 ? 1 : 0;
    if (taken_.load() || text.Overflowed() || text.Text().data() != slots_[spare].data) {
        return;
    }
    slots_[spare].size = text.Size();
    slots_[spare].tag = tag;
    published_.store(spare, std::memory_order_release);
}

void ReadyBuffers::PublishEmpty() {
    published_.store(kNone, std::memory_order_release);
}

ReadyText ReadyBuffers::Ready(uint8_t* tag) {
    // Sequentially consistent with the writer's check in Spare(): a rendering
    // that began before this store writes the spare buffer, never this one.
    taken_.store(true);
    const int slot = published_.load();
    if (slot == kNone) {
        return {};
    }
    if (tag != nullptr) {
        *tag = slots_[slot].tag;
    }
    return {slots_[slot].data, slots_[slot].size};
}

void ReadyBuffers::Reset() {
    published_.store(kNone);
    taken_.store(false);
}

}  // namespace flextor
