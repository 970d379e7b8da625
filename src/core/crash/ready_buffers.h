// Two fixed buffers of which one holds the finished text and the other takes
// the next one: the writer (the GUI thread) fills the spare buffer and then
// publishes it with one atomic store; a reader on any thread, a signal handler
// included, takes the published one without heap or lock.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "core/crash/crash_snapshot.h"
#include "core/crash/json_text.h"

namespace flextor {

class ReadyBuffers {
  public:
    constexpr explicit ReadyBuffers(size_t capacity) : capacity_(capacity) {}

    // The spare buffer, emptied, to render into (allocated at the first call);
    // an empty text once a reader has taken one.
    FixedText Spare();
    // Publishes what was rendered into the spare buffer, with a tag of the
    // caller's (a small number read back with it).
    void Publish(const FixedText& text, uint8_t tag);
    // From now on Ready() gives an empty text.
    void PublishEmpty();

    // Async-signal-safe. The last published text and its tag. The first call
    // ends the rendering for good: the buffer a reader holds is never written
    // again, however long it takes.
    ReadyText Ready(uint8_t* tag = nullptr);

    // True once a reader has taken a text.
    [[nodiscard]] bool Taken() const { return taken_.load(); }

    // Forgets what was published and lets the rendering go on (tests).
    void Reset();

  private:
    // Never freed: a handler running while the process exits still finds them.
    struct Slot {
        char* data = nullptr;
        size_t size = 0;
        uint8_t tag = 0;
    };
    static constexpr int kNone = -1;

    size_t capacity_;
    Slot slots_[2];
    std::atomic<int> published_{kNone};
    std::atomic<bool> taken_{false};
};

}  // namespace flextor
