// Where each thread last was: the main procedures mark their steps with
// FLEXTOR_STEP(), which records the source file and line of the mark in the
// thread's own slot. The failure handler reports the failing thread's last mark,
// the watchdog the GUI thread's. The position is that of the last step passed,
// not of the failing statement itself: between two marks the line is the mark's.
// A procedure's first mark is FLEXTOR_PROCEDURE(): when the procedure returns,
// the thread's position goes back to what it was before (none, for a handler
// called from the main loop), so that a failure later in code without marks of
// its own (a request handler, the toolkit) is reported as "place unknown" rather
// than at the last step of a procedure that had ended long before.
#pragma once

#include <atomic>
#include <exception>

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

// Marks the procedure's first step and puts the thread's earlier position back
// when the procedure returns. An exception leaving it keeps the step it left
// from: that is where the failure came from, should nothing catch it.
class ProcedureSteps {
  public:
    ProcedureSteps(const char* file, int line)
        : previous_file_(ThreadPosition().file.load(std::memory_order_relaxed)),
          previous_line_(ThreadPosition().line.load(std::memory_order_relaxed)),
          exceptions_(std::uncaught_exceptions()) {
        MarkPosition(file, line);
    }
    ~ProcedureSteps() {
        if (std::uncaught_exceptions() == exceptions_) {
            MarkPosition(previous_file_, previous_line_);
        }
    }
    ProcedureSteps(const ProcedureSteps&) = delete;
    ProcedureSteps& operator=(const ProcedureSteps&) = delete;

  private:
    const char* previous_file_;
    int previous_line_;
    int exceptions_;
};

}  // namespace flextor

#define FLEXTOR_STEP() ::flextor::MarkPosition(__FILE__, __LINE__)
#define FLEXTOR_PROCEDURE() ::flextor::ProcedureSteps flextor_procedure_steps(__FILE__, __LINE__)
