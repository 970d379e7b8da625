// A stack of its own for the calling thread's signal handlers, so that a thread
// that overflowed its stack still reaches the failure handler.
#pragma once

#include <signal.h>

namespace flextor {

// The calling thread's alternate signal stack for as long as this object lives.
// The stack the thread had before (a sanitizer's, say) is put back when it ends,
// so whoever set that one up can take it down again. Made and ended on the same
// thread. When the stack could not be set up, the handler runs on the thread's
// own stack and only an overflow goes unhandled.
class ThreadAlternateStack {
  public:
    ThreadAlternateStack();
    ~ThreadAlternateStack();
    ThreadAlternateStack(const ThreadAlternateStack&) = delete;
    ThreadAlternateStack& operator=(const ThreadAlternateStack&) = delete;

    [[nodiscard]] bool Installed() const { return memory_ != nullptr; }

  private:
    char* memory_ = nullptr;
    stack_t previous_{};
};

}  // namespace flextor
