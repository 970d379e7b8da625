#include "e2e/x_display.h"

#ifdef FLEXTOR_E2E_X11
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <vector>
#endif

namespace flextor::test {

#ifdef FLEXTOR_E2E_X11

struct XDisplay::Impl {
    Display* display = nullptr;

    std::string Title(Window window) const {
        Atom name = XInternAtom(display, "_NET_WM_NAME", False);
        Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
        Atom type = 0;
        int format = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        std::string title;
        if (XGetWindowProperty(display, window, name, 0, 1024, False, utf8, &type, &format, &count,
                               &after, &data) == Success &&
            data != nullptr) {
            title.assign(reinterpret_cast<char*>(data), count);
        }
        if (data != nullptr) {
            XFree(data);
        }
        return title;
    }

    void Sync() const { XSync(display, False); }

    // The viewable top-level windows with this title and width (any width for 0).
    std::vector<unsigned long> Windows(const std::string& title, int width) const {
        std::vector<unsigned long> found;
        if (display == nullptr) {
            return found;
        }
        Window root = DefaultRootWindow(display);
        Window parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        if (XQueryTree(display, root, &root, &parent, &children, &count) == 0) {
            return found;
        }
        for (unsigned i = 0; i < count; ++i) {
            XWindowAttributes attributes;
            if (XGetWindowAttributes(display, children[i], &attributes) != 0 &&
                attributes.map_state == IsViewable && (width == 0 || attributes.width == width) &&
                Title(children[i]) == title) {
                found.push_back(children[i]);
            }
        }
        if (children != nullptr) {
            XFree(children);
        }
        return found;
    }

    // Moves the pointer to x, y inside the window.
    void MoveTo(Window window, int x, int y, unsigned long delay_ms = CurrentTime) const {
        int root_x = 0;
        int root_y = 0;
        Window child = 0;
        XTranslateCoordinates(display, window, DefaultRootWindow(display), x, y, &root_x, &root_y,
                              &child);
        XTestFakeMotionEvent(display, -1, root_x, root_y, delay_ms);
    }
};

bool XLibrariesBuiltIn() {
    return true;
}

namespace {

// A window that went away between two requests is an answer, not a reason to end
// the test program (Xlib's own handler exits).
int IgnoreError(Display*, XErrorEvent*) {
    return 0;
}

}  // namespace

XDisplay::XDisplay(const std::string& name) : impl_(std::make_unique<Impl>()) {
    XSetErrorHandler(IgnoreError);
    impl_->display = XOpenDisplay(name.c_str());
}

XDisplay::~XDisplay() {
    if (impl_->display != nullptr) {
        XCloseDisplay(impl_->display);
    }
}

bool XDisplay::Open() const {
    return impl_->display != nullptr;
}

unsigned long XDisplay::FindWindow(const std::string& title, int width) const {
    const std::vector<unsigned long> windows = impl_->Windows(title, width);
    return windows.empty() ? 0 : windows.front();
}

int XDisplay::CountWindows(const std::string& title) const {
    return static_cast<int>(impl_->Windows(title, 0).size());
}

bool XDisplay::Click(unsigned long window, int x, int y) {
    Display* display = impl_->display;
    if (display == nullptr) {
        return false;
    }
    impl_->MoveTo(window, x, y);
    XSetInputFocus(display, window, RevertToParent, CurrentTime);
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    impl_->Sync();
    return true;
}

bool XDisplay::Drag(unsigned long window, int x, int y, int to_x, int to_y) {
    Display* display = impl_->display;
    if (display == nullptr) {
        return false;
    }
    impl_->MoveTo(window, x, y);
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    constexpr int kSteps = 20;
    for (int step = 1; step <= kSteps; ++step) {
        impl_->MoveTo(window, x + (to_x - x) * step / kSteps, y + (to_y - y) * step / kSteps, 10);
    }
    XTestFakeButtonEvent(display, 1, False, 10);
    impl_->Sync();
    return true;
}

bool XDisplay::PressKey(const std::string& key) {
    Display* display = impl_->display;
    KeySym symbol = XStringToKeysym(key.c_str());
    if (display == nullptr || symbol == NoSymbol) {
        return false;
    }
    KeyCode code = XKeysymToKeycode(display, symbol);
    XTestFakeKeyEvent(display, code, True, CurrentTime);
    XTestFakeKeyEvent(display, code, False, CurrentTime);
    impl_->Sync();
    return code != 0;
}

bool XDisplay::RequestClose(unsigned long window) {
    Display* display = impl_->display;
    if (display == nullptr) {
        return false;
    }
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const bool sent = XSendEvent(display, window, False, NoEventMask, &event) != 0;
    impl_->Sync();
    return sent;
}

#else

struct XDisplay::Impl {};

bool XLibrariesBuiltIn() {
    return false;
}

XDisplay::XDisplay(const std::string&) {}
XDisplay::~XDisplay() = default;

bool XDisplay::Open() const {
    return false;
}

unsigned long XDisplay::FindWindow(const std::string&, int) const {
    return 0;
}

int XDisplay::CountWindows(const std::string&) const {
    return 0;
}

bool XDisplay::Click(unsigned long, int, int) {
    return false;
}

bool XDisplay::Drag(unsigned long, int, int, int, int) {
    return false;
}

bool XDisplay::PressKey(const std::string&) {
    return false;
}

bool XDisplay::RequestClose(unsigned long) {
    return false;
}

#endif

}  // namespace flextor::test
