// Where each thread last was: the main procedures mark their steps with
// FLEXTOR_STEP(), which records the source file and line of the mark in the
// thread's own slot. The failure handler reports the failing thread's last mark,
// the watchdog the GUI thread's. The position is that of the last step passed,
// not of the failing statement itself: between two marks the line is the mark's.
#pragma once

#include <atomic>

namespace flextor {

struct SourcePosition {
    std::atomic<const char*> file{nullptr};  // __FILE__ of the mark, with its folders
    std::atomic<int> line{0};
};

// The calling thread's slot. Lock-free and without dynamic initialisation, so a
// signal handler may read it.
SourcePosition& ThreadPosition();

inline void MarkPosition(const char* file, int line) {
    SourcePosition& position = ThreadPosition();
    position.file.store(file, std::memory_order_relaxed);
    position.line.store(line, std::memory_order_relaxed);
}

// The file name of a position without its folders; "" when none was marked.
const char* PositionFileName(const SourcePosition& position);

}  // namespace flextor

#define FLEXTOR_STEP() ::flextor::MarkPosition(__FILE__, __LINE__)
