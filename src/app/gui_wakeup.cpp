#include "app/gui_wakeup.h"

#include <utility>

namespace flextor {

GuiWakeup::GuiWakeup() : shared_(std::make_shared<Shared>()) {
    dispatcher_.connect(sigc::mem_fun(*this, &GuiWakeup::OnWakeup));
}

GuiWakeup::~GuiWakeup() {
    Unbind();
}

void GuiWakeup::Bind(std::function<void()> handler) {
    handler_ = std::move(handler);
    std::lock_guard lock(shared_->mutex);
    shared_->waiting = false;
    shared_->dispatcher = &dispatcher_;
}

void GuiWakeup::Unbind() {
    {
        std::lock_guard lock(shared_->mutex);
        shared_->dispatcher = nullptr;
    }
    handler_ = nullptr;
}

// Any thread. The lock keeps the dispatcher alive while it is used; emitting
// only writes to the dispatcher's pipe, and merged wake-ups keep that pipe from
// filling while the GUI thread is busy.
std::function<void()> GuiWakeup::Waker() const {
    return [shared = shared_] {
        std::lock_guard lock(shared->mutex);
        if (shared->dispatcher == nullptr || shared->waiting.exchange(true)) {
            return;
        }
        shared->dispatcher->emit();
    };
}

// GUI thread. Cleared before the handler runs, so a wake-up during it brings the
// handler round again.
void GuiWakeup::OnWakeup() {
    shared_->waiting = false;
    if (handler_) {
        handler_();
    }
}

}  // namespace flextor
