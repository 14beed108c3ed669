#include "x11_probe.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace x11probe {

namespace {

Display *dpy(void *display) { return static_cast<Display *>(display); }

std::string windowTitle(Display *display, Window window)
{
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    const Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    std::string title;
    if (XGetWindowProperty(display, window, netName, 0, 1024, False, utf8, &type, &format, &count,
                           &after, &data)
            == Success
        && data) {
        title.assign(reinterpret_cast<char *>(data), count);
        XFree(data);
        return title;
    }
    char *name = nullptr;
    if (XFetchName(display, window, &name) && name) {
        title = name;
        XFree(name);
    }
    return title;
}

} // namespace

Connection::Connection(const std::string &display) : display_(XOpenDisplay(display.c_str())) {}

Connection::~Connection()
{
    if (display_)
        XCloseDisplay(dpy(display_));
}

std::optional<WindowInfo> Connection::findWindow(const std::string &title)
{
    Display *display = dpy(display_);
    Window root = DefaultRootWindow(display), parent = 0, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, root, &root, &parent, &children, &count))
        return std::nullopt;

    std::optional<WindowInfo> found;
    for (unsigned int i = 0; i < count && !found; ++i) {
        if (windowTitle(display, children[i]) != title)
            continue;
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(display, children[i], &attributes))
            continue;
        WindowInfo info;
        info.id = children[i];
        Window child = 0;
        XTranslateCoordinates(display, children[i], root, 0, 0, &info.x, &info.y, &child);
        info.width = attributes.width;
        info.height = attributes.height;
        info.viewable = attributes.map_state == IsViewable;
        found = info;
    }
    if (children)
        XFree(children);
    return found;
}

void Connection::requestClose(unsigned long window)
{
    Display *display = dpy(display_);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
}

} // namespace x11probe
