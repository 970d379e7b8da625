#include "base/diagnostics/alternate_stack.h"

#include <signal.h>

#include <cstddef>
#include <new>

namespace flextor {
namespace {

// Room for the failure handler's own buffers besides what the kernel puts there.
constexpr size_t kStackSize = 256 * 1024;

}  // namespace

bool GiveThreadAlternateStack() {
    // Never freed: the thread may fail at any moment up to the process's end.
    char* memory = new (std::nothrow) char[kStackSize];
    if (memory == nullptr) {
        return false;
    }
    stack_t stack{};
    stack.ss_sp = memory;
    stack.ss_size = kStackSize;
    stack.ss_flags = 0;
    if (sigaltstack(&stack, nullptr) != 0) {
        delete[] memory;
        return false;
    }
    return true;
}

}  // namespace flextor
