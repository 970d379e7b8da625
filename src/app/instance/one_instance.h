// One program per plant, as the operator sees it (the locks themselves are
// app/instance/plant_lock.h). A refused start says why on the screen and
// on stderr, tells the running instance and ends before it has touched a pin, a
// log or the outputs guard; the running instance writes the line in its own log
// and brings its window forward.
#pragma once

#include <glib.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/instance/plant_lock.h"

namespace flextor {

// Locks the program folder and the GPIO folder, once the toolkit is up. A crash
// restart waits for the failed instance to end (it does right after starting
// this one), any other start a few seconds for one that is closing. False when
// the start is refused: the reason has been shown in a box captioned with the
// main window's title.
[[nodiscard]] bool TakePlantLock(PlantLock& lock, const std::string& program_folder,
                                 bool crash_restart);

// The holder's side: on the main loop, from the event loop's start to the shutdown.
class RefusedStartWatch {
  public:
    RefusedStartWatch() = default;
    ~RefusedStartWatch() { Stop(); }
    RefusedStartWatch(const RefusedStartWatch&) = delete;
    RefusedStartWatch& operator=(const RefusedStartWatch&) = delete;

    // Each start refused because of lock is logged as a warning (one line in 5 s
    // at most), then bring_forward runs.
    void Start(const PlantLock& lock, std::function<void()> bring_forward);
    void Stop();

  private:
    static gboolean OnNotice(gint fd, GIOCondition condition, gpointer self);

    const PlantLock* lock_ = nullptr;
    std::function<void()> bring_forward_;
    std::vector<guint> watches_;
    std::optional<std::chrono::steady_clock::time_point> last_logged_;
};

}  // namespace flextor
