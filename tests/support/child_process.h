// Running a piece of a test in a forked child: for what must not happen to the
// test process itself (a hang, a lowered file size limit, dropped privileges).
#pragma once

#include <chrono>
#include <functional>

namespace flextor::test {

// The exit code of a child that had to be killed because it took too long.
inline constexpr int kChildTimedOut = -1;
// The exit code of a child that could not drop root's permission bypass.
inline constexpr int kCannotDropBypass = 77;

// Runs body in a forked child, which exits with body's result; waits at most
// limit for it. Returns the exit code, kChildTimedOut (the child is killed), or
// -2 when the child died of a signal.
int RunInChild(const std::function<int()>& body,
               std::chrono::milliseconds limit = std::chrono::seconds(20));

// In a child running as root: gives up the capabilities that let root read,
// write and search any file regardless of its permissions. False when they stay.
bool DropFileBypass();

}  // namespace flextor::test
