#include "base/diagnostics/alternate_stack.h"

#include <cstddef>
#include <new>

namespace flextor {
namespace {

// Room for the failure handler's own buffers besides what the kernel puts there.
constexpr size_t kStackSize = 256 * 1024;

}  // namespace

ThreadAlternateStack::ThreadAlternateStack() {
    char* memory = new (std::nothrow) char[kStackSize];
    if (memory == nullptr) {
        return;
    }
    stack_t stack{};
    stack.ss_sp = memory;
    stack.ss_size = kStackSize;
    stack.ss_flags = 0;
    if (sigaltstack(&stack, &previous_) != 0) {
        delete[] memory;
        return;
    }
    memory_ = memory;
}

ThreadAlternateStack::~ThreadAlternateStack() {
    if (memory_ == nullptr) {
        return;
    }
    if ((previous_.ss_flags & SS_DISABLE) != 0) {
        previous_.ss_sp = nullptr;
        previous_.ss_size = 0;
    }
    if (sigaltstack(&previous_, nullptr) == 0) {
        delete[] memory_;
    }  // else still in use by the kernel's record: better kept than freed
}

}  // namespace flextor
