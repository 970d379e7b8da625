#include "app/instance/one_instance.h"

#include <glib-unix.h>
#include <gtkmm.h>

#include <cstdio>

#include "core/log/message_log.h"
#include "core/version.h"
#include "platform/gpio/sysfs_gpio.h"

namespace flextor {
namespace {

// Far longer than a failed instance takes to end once its successor runs.
constexpr std::chrono::seconds kCrashRestartWait{10};
// A program closed and started again at once: the closing one may still be
// waiting up to 4 s for its polling thread.
constexpr std::chrono::seconds kStartWait{5};
// Any local process may send a notice: a flood of them is not a flood of lines.
constexpr std::chrono::seconds kNoticeLogPeriod{5};

std::string PlaceText(PlantPlace place, const std::string& path) {
    return (place == PlantPlace::kProgramFolder ? "папка " : "выходы GPIO ") + path;
}

}  // namespace

bool TakePlantLock(PlantLock& lock, const std::string& program_folder, bool crash_restart) {
    const bool taken = lock.Take(program_folder, GpioRootFromEnvironment(),
                                 crash_restart ? kCrashRestartWait : kStartWait);
    for (const std::string& problem : lock.Problems()) {
        std::fprintf(stderr, "flextor: cannot lock %s: a second start there is not refused\n",
                     problem.c_str());
    }
    if (taken) {
        return true;
    }
    const PlantLockHolder& holder = lock.Holder();
    const std::string text = "Программа уже запущена (" + PlaceText(holder.place, holder.path) +
                             "). Второй запуск отклонён: две программы не могут управлять "
                             "одной установкой.";
    if (!lock.TellHolder()) {
        std::fprintf(stderr, "flextor: the running instance could not be told\n");
    }
    std::fprintf(stderr, "flextor: %s\n", text.c_str());
    std::fflush(stderr);
    Gtk::MessageDialog box(text, false, Gtk::MESSAGE_ERROR, Gtk::BUTTONS_OK, true);
    box.set_title(kMainWindowTitle);
    box.run();
    return false;
}

void RefusedStartWatch::Start(const PlantLock& lock, std::function<void()> bring_forward) {
    lock_ = &lock;
    bring_forward_ = std::move(bring_forward);
    for (int fd : lock.NoticeSockets()) {
        watches_.push_back(g_unix_fd_add(fd, G_IO_IN, OnNotice, this));
    }
}

void RefusedStartWatch::Stop() {
    for (guint watch : watches_) {
        g_source_remove(watch);
    }
    watches_.clear();
}

gboolean RefusedStartWatch::OnNotice(gint fd, GIOCondition /*condition*/, gpointer self) {
    auto* watch = static_cast<RefusedStartWatch*>(self);
    pid_t refused = 0;
    while (TakeNotice(fd, refused)) {
        const auto now = std::chrono::steady_clock::now();
        if (watch->last_logged_ && now - *watch->last_logged_ < kNoticeLogPeriod) {
            continue;
        }
        watch->last_logged_ = now;
        const PlantPlace place = watch->lock_->PlaceOf(fd);
        AddLogMessage("Второй запуск программы отклонён (процесс " + std::to_string(refused) +
                          "): программа уже работает здесь, " +
                          PlaceText(place, watch->lock_->PathOf(place)) + ".",
                      kLevelWarning);
    }
    if (watch->bring_forward_) {
        watch->bring_forward_();
    }
    return G_SOURCE_CONTINUE;
}

}  // namespace flextor
