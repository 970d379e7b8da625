// The X display the tests run on, seen from outside the program: find its
// window, click and type into it as a person would, and close it with the
// window manager's close request. Without the X libraries at build time every
// call fails and XLibrariesBuiltIn() is false.
#pragma once

#include <memory>
#include <string>

namespace flextor::test {

bool XLibrariesBuiltIn();

class XDisplay {
  public:
    explicit XDisplay(const std::string& name);  // ":N"; errors are not fatal
    ~XDisplay();
    XDisplay(const XDisplay&) = delete;
    XDisplay& operator=(const XDisplay&) = delete;

    bool Open() const;
    // A viewable top-level window with this title and width; 0 when none.
    unsigned long FindWindow(const std::string& title, int width) const;
    // The viewable top-level windows with this title, of any width.
    int CountWindows(const std::string& title) const;
    // A left click at x, y inside the window, which also gets the keyboard focus.
    bool Click(unsigned long window, int x, int y);
    // A drag with the left button held, from x, y to to_x, to_y in even steps.
    bool Drag(unsigned long window, int x, int y, int to_x, int to_y);
    // One press and release of the key with this X keysym name ("Up", "Return").
    bool PressKey(const std::string& key);
    // Asks the window to close, as its close button does.
    bool RequestClose(unsigned long window);

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace flextor::test
