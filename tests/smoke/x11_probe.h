#pragma once

// A few questions to an X server about the program's window, kept apart from
// Qt's headers because Xlib's macros clash with Qt's names.

#include <optional>
#include <string>

namespace x11probe {

struct WindowInfo {
    unsigned long id = 0;
    int x = 0, y = 0;
    int width = 0, height = 0;
    bool viewable = false;
};

class Connection {
public:
    explicit Connection(const std::string &display);
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    bool isOpen() const { return display_ != nullptr; }

    // The first top-level window whose title is exactly `title`.
    std::optional<WindowInfo> findWindow(const std::string &title);

    // Asks the window to close, as a window manager's close button would.
    void requestClose(unsigned long window);

private:
    void *display_ = nullptr;
};

} // namespace x11probe
