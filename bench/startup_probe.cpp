// Starts a program on an X display and measures what its user waits for: the
// time from exec to its first top-level window being mapped, and its peak
// resident memory once the window is up. Prints "MILLISECONDS KILOBYTES".
//
//     startup_probe DISPLAY PROGRAM

#include <X11/Xlib.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

namespace {

long peakResidentKilobytes(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string key;
    while (status >> key) {
        long value = 0;
        if (key == "VmHWM:" && status >> value)
            return value;
        status.ignore(1 << 12, '\n');
    }
    return -1;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: startup_probe DISPLAY PROGRAM\n");
        return 2;
    }
    Display *display = XOpenDisplay(argv[1]);
    if (!display) {
        std::fprintf(stderr, "startup_probe: cannot open display %s\n", argv[1]);
        return 1;
    }
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        setenv("DISPLAY", argv[1], 1);
        execl(argv[2], argv[2], static_cast<char *>(nullptr));
        _exit(127);
    }

    double milliseconds = -1;
    pollfd connection{ConnectionNumber(display), POLLIN, 0};
    while (milliseconds < 0) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && event.xmap.event == root) {
                milliseconds = std::chrono::duration<double, std::milli>(
                                   std::chrono::steady_clock::now() - start)
                                   .count();
                break;
            }
        }
        if (milliseconds < 0 && poll(&connection, 1, 20000) <= 0) {
            std::fprintf(stderr, "startup_probe: no window within 20 s\n");
            kill(child, SIGKILL);
            return 1;
        }
    }

    // Let the window draw itself once before reading the peak.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const long kilobytes = peakResidentKilobytes(child);
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    XCloseDisplay(display);
    std::printf("%.1f %ld\n", milliseconds, kilobytes);
    return 0;
}
