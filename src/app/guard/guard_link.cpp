#include "app/guard/guard_link.h"

#include <glib-unix.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "app/crash/failure_plan.h"
#include "app/guard/guard_spawn.h"
#include "core/guard/guard_protocol.h"
#include "core/log/message_log.h"
#include "core/logic/commands/column_command.h"
#include "core/options/options.h"
#include "platform/gpio/sysfs_gpio.h"

namespace flextor {
namespace {

// A guard that keeps ending right after its start is not started again.
constexpr size_t kEndsPerMinute = 5;
constexpr std::chrono::minutes kEndsWindow{1};

void Reap(GPid /*pid*/, gint /*status*/, gpointer /*data*/) {}

}  // namespace

void DismissGuardBeforeEnd() {
    const int fd = Plan().guard_fd.exchange(-1);
    if (fd >= 0) {
        // When it is gone already, it has nothing to do either.
        static_cast<void>(send(fd, kGuardDismissLine, sizeof kGuardDismissLine - 1, MSG_NOSIGNAL));
    }
}

void TellGuardOfRestart() {
    const int fd = Plan().guard_fd.load();
    if (fd >= 0) {
        static_cast<void>(
            send(fd, kGuardRestartLine, sizeof kGuardRestartLine - 1, MSG_NOSIGNAL | MSG_DONTWAIT));
    }
}

GuardLink::~GuardLink() {
    if (watch_ != 0) {
        g_source_remove(watch_);
    }
    // The descriptor stays open until the process ends: a guard not dismissed
    // drives the outputs low then.
}

std::string GuardLink::Start() {
    const GuardSlot& slot = ProcessGuardSlot();
    if (!slot.inherited) {
        return Launch();
    }
    fd_ = slot.number;
    Plan().guard_fd.store(fd_);
    Watch();
    return "";
}

std::string GuardLink::Launch() {
    const GuardStart start = StartGuardProcess(ProcessGuardSlot().number);
    if (start.fd < 0) {
        return start.error;
    }
    fd_ = start.fd;
    Plan().guard_fd.store(fd_);
    g_child_watch_add(start.pid, Reap, nullptr);
    if (!log_line_.empty()) {
        // When the guard is gone already, the watch starts the next one, which is told.
        static_cast<void>(Send(log_line_));
    }
    Watch();
    return "";
}

void GuardLink::Watch() {
    watch_ = g_unix_fd_add(
        fd_, static_cast<GIOCondition>(G_IO_HUP | G_IO_ERR),
        [](gint, GIOCondition, gpointer self) {
            static_cast<GuardLink*>(self)->watch_ = 0;
            static_cast<GuardLink*>(self)->OnGuardEnded();
            return gboolean{G_SOURCE_REMOVE};
        },
        this);
}

void GuardLink::OnGuardEnded() {
    const auto now = std::chrono::steady_clock::now();
    while (!ends_.empty() && now - ends_.front() > kEndsWindow) {
        ends_.pop_front();
    }
    ends_.push_back(now);
    if (ends_.size() > kEndsPerMinute) {
        LoseGuard("Сторож выходов " + GuardExecutablePath() +
                  " завершается раз за разом и больше не запускается: без него колонки 1 и 2 "
                  "не работают. Установите программу заново и перезапустите её.");
        return;
    }
    const std::string error = Launch();
    if (!error.empty()) {
        LoseGuard(error);
        std::fprintf(stderr, "flextor: %s\n", error.c_str());
        return;
    }
    AddLogMessage("Сторож выходов завершился и запущен снова.", kLevelWarning);
}

void GuardLink::TellLogFile(const std::string& path, const std::string& program_folder) {
    // The outputs' polarity goes with it: set before the log file is known.
    log_line_ = GuardLogLine(path) + GuardActiveLowLine(OutputsActiveLow()) +
                GuardPidLine(getpid()) + GuardFreezeLine(CurrentOptions().guard.freeze_seconds) +
                GuardMarkerLine(program_folder + kFreezeMarkerName);
    if (fd_ >= 0) {
        // When the guard is gone, the watch starts the next one, which is told.
        static_cast<void>(Send(log_line_));
    }
}

void GuardLink::Beat() {
    if (fd_ >= 0) {
        // A full socket means a guard that reads nothing: its end shows on the watch.
        static_cast<void>(
            send(fd_, kGuardAliveLine, sizeof kGuardAliveLine - 1, MSG_NOSIGNAL | MSG_DONTWAIT));
    }
}

void GuardLink::Dismiss() {
    if (watch_ != 0) {
        g_source_remove(watch_);
        watch_ = 0;
    }
    if (fd_ < 0) {
        return;
    }
    // A failure from here on restarts nothing that would look for the guard.
    Plan().guard_fd.store(-1);
    if (!Send(kGuardDismissLine)) {
        std::fprintf(stderr, "flextor: the outputs guard was gone at the shutdown\n");
    }
    close(fd_);
    fd_ = -1;
}

bool GuardLink::Send(const std::string& line) {
    size_t sent = 0;
    while (sent < line.size()) {
        const ssize_t size = send(fd_, line.data() + sent, line.size() - sent, MSG_NOSIGNAL);
        if (size < 0 && errno == EINTR) {
            continue;
        }
        if (size <= 0) {
            return false;
        }
        sent += static_cast<size_t>(size);
    }
    return true;
}

}  // namespace flextor
