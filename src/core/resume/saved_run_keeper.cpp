#include "core/resume/saved_run_keeper.h"

#include <cerrno>
#include <cstdio>
#include <tuple>

#include "base/files/file_io.h"
#include "core/log/message_log.h"
#include "core/logic/col1/col1_mode.h"
#include "core/options/options.h"
#include "core/resume/saved_run.h"
#include "core/state/program_state.h"
#include "core/time/clock.h"

namespace flextor {
namespace {

constexpr int64_t kWritePeriodMs = 60 * 1000;

// What makes a write due at once when it changes.
using RunShape = std::tuple<uint8_t, uint8_t, uint8_t, uint8_t, uint8_t>;

RunShape CurrentShape() {
    const LogicParam& logic = ProgVar.Logic;
    return {logic.Col1.Status, logic.Col1.Mode, logic.Col2.Work, logic.Col3.Work, logic.Alarm};
}

bool SomethingRuns() {
    const LogicParam& logic = ProgVar.Logic;
    return logic.Col1.Status != kCol1Stopped || logic.Col2.Work != 0 || logic.Col3.Work != 0;
}

struct Keeper {
    std::string path;
    bool on_disk = false;
    bool written_once = false;
    RunShape shape{};
    int64_t written_ms = 0;
    uint64_t writes = 0;
    bool failure_reported = false;
};

Keeper keeper;

// One warning per kind of failure and run: the next attempts stay silent.
void ReportFailure(const std::string& what) {
    if (!keeper.failure_reported) {
        keeper.failure_reported = true;
        AddLogMessage(what + " " + keeper.path, kLevelWarning);
    }
}

void Remove() {
    if (std::remove(keeper.path.c_str()) != 0 && errno != ENOENT) {
        ReportFailure("Не удалось удалить файл состояния для возобновления после перебоя питания:");
        return;
    }
    keeper.on_disk = false;
    keeper.written_once = false;
}

// A file that could not be brought up to date would resume an older run after
// a power cut (a column the operator stopped, a latch not set yet). Removing
// it needs no room on the disk; the next write that succeeds makes it again.
void DropOutdatedFile() {
    if (std::remove(keeper.path.c_str()) == 0) {
        AddLogMessage(
            "Файл состояния для возобновления после перебоя питания удалён: его не "
            "удалось обновить. " +
                keeper.path,
            kLevelWarning);
    } else if (errno != ENOENT) {
        AddLogMessage(
            "Не удалось удалить файл состояния для возобновления после перебоя "
            "питания: " +
                keeper.path,
            kLevelError);
        return;
    }
    keeper.on_disk = false;
}

void Write(const RunShape& shape, int64_t now_ms) {
    // A failed write is tried again at the next change or a minute later.
    keeper.shape = shape;
    keeper.written_ms = now_ms;
    keeper.written_once = true;
    const std::string text = SavedRunText(ProgVar, LocalSeconds(CurrentClock().Now()));
    if (!ReplaceFileAtomically(keeper.path, text)) {
        ReportFailure("Не удалось записать состояние для возобновления после перебоя питания:");
        DropOutdatedFile();
        return;
    }
    keeper.on_disk = true;
    ++keeper.writes;
}

}  // namespace

void SetSavedRunFile(const std::string& path) {
    keeper.path = path;
    keeper.on_disk = !path.empty();
    keeper.written_once = false;
    keeper.failure_reported = false;
}

void KeepSavedRun() {
    if (keeper.path.empty() || !CurrentOptions().resume.enabled) {
        return;
    }
    if (!SomethingRuns() && ProgVar.Logic.Alarm == 0) {
        if (keeper.on_disk) {
            Remove();
        }
        return;
    }
    const RunShape shape = CurrentShape();
    const int64_t now_ms = CurrentClock().MonotonicMs();
    if (!keeper.written_once || shape != keeper.shape ||
        now_ms - keeper.written_ms >= kWritePeriodMs) {
        Write(shape, now_ms);
    }
}

void CloseSavedRun() {
    if (!keeper.path.empty() && CurrentOptions().resume.enabled && keeper.on_disk) {
        Remove();
    }
    keeper.path.clear();
}

uint64_t SavedRunWrites() {
    return keeper.writes;
}

}  // namespace flextor
