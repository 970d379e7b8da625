#include <utility>

#include "core/logic/cycle_steps.h"

namespace flextor {
namespace {

std::function<void()>& Refresh() {
    static std::function<void()> refresh;
    return refresh;
}

}  // namespace

void SetSensorListRefresh(std::function<void()> refresh) {
    Refresh() = std::move(refresh);
}

void SensorListStep() {
    if (Refresh()) {
        Refresh()();
    }
}

}  // namespace flextor
