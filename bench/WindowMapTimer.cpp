// Starts a program and measures the time until a top-level window with the
// given title is mapped on the X display, from outside the program: it
// watches the root window's map events, so the program needs no help.
// Prints the time in milliseconds, then ends the program.
// Usage: bench-window-map <title> <program> [arguments...]
// Exit status: 0 measured, 3 the program ended before its window showed (as
// a program does that the X server refused), otherwise 1 or 2.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

std::string windowTitle(Display *display, Window window) {
    // The UTF-8 title first, as toolkits set it; the legacy name otherwise.
    const Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, rest = 0;
    unsigned char *data = nullptr;
    std::string title;
    if (XGetWindowProperty(display, window, netName, 0, 1024, False, utf8, &type, &format, &count,
                           &rest, &data) == Success &&
        data) {
        title.assign(reinterpret_cast<char *>(data), count);
        XFree(data);
        if (!title.empty())
            return title;
    }
    char *name = nullptr;
    if (XFetchName(display, window, &name) && name) {
        title = name;
        XFree(name);
    }
    return title;
}

int ignoreErrors(Display *, XErrorEvent *) {
    return 0;
} // windows may vanish meanwhile

// A busy X server may refuse a connection now and then; this one is made
// before the clock starts, so it may take a few tries.
Display *openDisplay() {
    Display *display = nullptr;
    for (int attempt = 0; attempt < 40 && !display; ++attempt) {
        display = XOpenDisplay(nullptr);
        if (!display)
            usleep(50000);
    }
    return display;
}

using Clock = std::chrono::steady_clock;

// Milliseconds from start until a window titled wanted was mapped; -1 when
// none was within 60 s, and -1 with *ended set when the program ended first.
double waitForWindow(Display *display, const std::string &wanted, pid_t pid,
                     Clock::time_point start, bool *ended) {
    const Clock::time_point deadline = start + std::chrono::seconds(60);
    while (Clock::now() < deadline) {
        if (XPending(display) == 0) {
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) == pid) {
                *ended = true;
                return -1;
            }
            pollfd fd{ConnectionNumber(display), POLLIN, 0};
            poll(&fd, 1, 50);
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        if (event.type != MapNotify)
            continue;
        const Clock::time_point mapped = Clock::now();
        if (windowTitle(display, event.xmap.window) == wanted)
            return std::chrono::duration<double, std::milli>(mapped - start).count();
    }
    return -1;
}

} // namespace

int main(int argc, char *argv[]) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench-window-map <title> <program> [arguments...]\n");
        return 2;
    }
    const std::string wanted = argv[1];
    Display *display = openDisplay();
    if (!display) {
        std::fprintf(stderr, "bench-window-map: no X display\n");
        return 2;
    }
    XSetErrorHandler(ignoreErrors);
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    const Clock::time_point start = Clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[2], nullptr, nullptr, argv + 2, environ) != 0) {
        std::perror("bench-window-map: cannot start the program");
        return 2;
    }
    bool ended = false;
    const double milliseconds = waitForWindow(display, wanted, pid, start, &ended);
    if (ended) {
        std::fprintf(stderr, "bench-window-map: the program ended before its window showed\n");
        return 3;
    }

    kill(pid, SIGTERM);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    XCloseDisplay(display);
    if (milliseconds < 0) {
        std::fprintf(stderr, "bench-window-map: no window \"%s\" within 60 s\n", wanted.c_str());
        return 1;
    }
    std::printf("%.1f\n", milliseconds);
    return 0;
}
