// What the failure handler writes, made ready before any fault: after every
// change of the run the GUI thread renders the crash-state text of ProgVar and,
// while a settings save is pending, the text of Setting.ini into fixed buffers.
// The handler, on whichever thread failed, only reads the buffer last finished:
// no heap, no lock, no formatting of records at the moment of the fault.
#pragma once

#include <cstddef>
#include <cstdint>

namespace flextor {

// One finished text in a fixed buffer. The handler reads the one Ready() gives.
struct ReadyText {
    const char* data = nullptr;
    size_t size = 0;
};

// The crash state as it stood at the end of the last logic cycle, split where
// the handler adds what only it knows: `prefix` is the compact JSON of ProgVar
// (with the four fields the restart recomputes already cleared) up to and
// including `"Crash":`; the handler appends {"Count":count_after,"Err":"..."}}.
struct ReadyCrashState {
    ReadyText prefix;
    uint8_t count = 0;  // CrashProg.Count before this failure
};

// GUI thread: at the end of every logic cycle, right after start-up, and after
// every change the operator or the logic makes to the run (a column command, a
// mode, the alarm latch, a hand valve, a threshold), so that a restart never
// resumes a state older than what the window and the log have shown. The run
// kept on disk for a power cut follows it (core/resume/saved_run_keeper.h).
void RenderCrashSnapshot();

// Any thread, async-signal-safe: the last finished rendering (empty before the
// first). `settings` is empty when no settings save is pending.
ReadyCrashState ReadyCrashStateText();
ReadyText ReadySettingsText();

// Either Ready call ends the rendering for good, so that the buffer being read
// is never written again. This forgets both texts and lets it go on (tests).
void ResetCrashSnapshot();

}  // namespace flextor
