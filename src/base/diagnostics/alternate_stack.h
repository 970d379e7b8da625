// A stack of its own for the calling thread's signal handlers, so that a thread
// that overflowed its stack still reaches the failure handler. Called once at
// the start of each long-lived thread; the stack lives as long as the process.
#pragma once

namespace flextor {

// False when the stack could not be set up (the handler then runs on the
// thread's own stack).
[[nodiscard]] bool GiveThreadAlternateStack();

}  // namespace flextor
