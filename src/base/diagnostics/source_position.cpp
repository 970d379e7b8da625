#include "base/diagnostics/source_position.h"

namespace flextor {
namespace {

constinit thread_local SourcePosition thread_position;

}  // namespace

SourcePosition& ThreadPosition() {
    return thread_position;
}

const char* PositionFileName(const SourcePosition& position) {
    const char* file = position.file.load(std::memory_order_relaxed);
    if (file == nullptr) {
        return "";
    }
    const char* name = file;
    for (const char* c = file; *c != '\0'; ++c) {
        if (*c == '/' || *c == '\\') {
            name = c + 1;
        }
    }
    return name;
}

}  // namespace flextor
