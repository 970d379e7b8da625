// Starting the outputs guard (outputs-guard, beside the program's executable)
// and finding the one a failed instance handed over. The program's end of their
// socket sits at one descriptor number for the whole chain of restarted
// instances, named in FLEXTOR_GUARD_FD; the failure path keeps it open across
// the restart, so the guard sees no end while a new instance takes over.
#pragma once

#include <sys/types.h>

#include <string>

namespace flextor {

inline constexpr char kGuardFdVariable[] = "FLEXTOR_GUARD_FD";
// Not "flextor-…": a "pkill flextor" must not take the guard with the program.
inline constexpr char kGuardProgramName[] = "outputs-guard";
// Tests only: the emulator that runs the program (qemu-user cannot follow an
// exec of a foreign executable), which then runs its guard too.
inline constexpr char kTestEmulatorVariable[] = "FLEXTOR_TEST_EMULATOR";

struct GuardSlot {
    int number = -1;         // where the program's end is kept; -1: anywhere
    bool inherited = false;  // a socket a failed instance left there: its guard is ours
};

// Main thread, before any other thread exists (it may set the variable). A
// socket at the number the variable names is taken over (and made close-on-exec);
// otherwise a number is held with /dev/null from now on and the variable set to it.
GuardSlot ReserveGuardSlot();

// The slot ReserveGuardSlot found; number -1 when it never ran.
const GuardSlot& ProcessGuardSlot();

struct GuardStart {
    int fd = -1;  // the program's end, close-on-exec
    pid_t pid = -1;
    // For the message log when the guard could not be started: a missing file
    // told from one that cannot be run.
    std::string error;
};

// The guard's executable: beside the program's.
std::string GuardExecutablePath();

// Starts the guard with a new socket pair, its end as the guard's standard
// input; the program's end is put at slot (when not -1). The guard runs in a
// session of its own, so a terminal's Ctrl-C does not reach it.
[[nodiscard]] GuardStart StartGuardProcess(int slot);

}  // namespace flextor
