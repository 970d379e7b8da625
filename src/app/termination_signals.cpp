#include "app/termination_signals.h"

#include <glib-unix.h>
#include <glib.h>

#include <csignal>
#include <utility>

namespace flextor {

TerminationSignals::TerminationSignals(std::function<void()> on_signal)
    : on_signal_(std::move(on_signal)) {
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        sources_.push_back(g_unix_signal_add(signal, &TerminationSignals::OnSignal, this));
    }
}

TerminationSignals::~TerminationSignals() {
    for (unsigned source : sources_) {
        g_source_remove(source);
    }
}

int TerminationSignals::OnSignal(void* self) {
    static_cast<TerminationSignals*>(self)->on_signal_();
    return G_SOURCE_CONTINUE;
}

}  // namespace flextor
