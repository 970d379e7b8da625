#include "core/display/status_display.h"

#include "core/display/display_writes.h"

namespace flextor {
namespace {

StatusDisplay* installed = nullptr;

}  // namespace

void SetStatusDisplay(StatusDisplay* display) {
    installed = display;
    ForgetShownTexts();
}

StatusDisplay* CurrentStatusDisplay() {
    return installed;
}

}  // namespace flextor
