// Whether the X display named by DISPLAY takes clients, asked of Xlib directly:
// GTK cannot be asked twice.
#include <X11/Xlib.h>

bool DisplayOpens() {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return false;
    }
    XCloseDisplay(display);
    return true;
}
