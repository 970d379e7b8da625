// The one way from another thread to the GUI thread: the other thread only
// wakes the main loop, and the handler runs there. What the handler needs is
// handed over elsewhere (a queue or SensorShare, under their own locks).
#pragma once

#include <glibmm/dispatcher.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

namespace flextor {

class GuiWakeup {
  public:
    // GUI thread: the wake-ups arrive in the default main context.
    GuiWakeup();
    ~GuiWakeup();
    GuiWakeup(const GuiWakeup&) = delete;
    GuiWakeup& operator=(const GuiWakeup&) = delete;

    // GUI thread. From now on every wake-up runs handler once on the GUI thread;
    // wake-ups that come while one is waiting are merged into it.
    void Bind(std::function<void()> handler);
    // GUI thread. Later wake-ups are dropped; one already on its way runs nothing.
    void Unbind();

    // The waker for other threads: callable from any thread at any time, also
    // after Unbind and after this object is gone (it then does nothing).
    std::function<void()> Waker() const;

  private:
    struct Shared {
        std::mutex mutex;                        // guards dispatcher
        Glib::Dispatcher* dispatcher = nullptr;  // null while unbound
        std::atomic<bool> waiting{false};        // a wake-up is on its way
    };

    void OnWakeup();

    std::shared_ptr<Shared> shared_;
    Glib::Dispatcher dispatcher_;
    std::function<void()> handler_;
};

}  // namespace flextor
