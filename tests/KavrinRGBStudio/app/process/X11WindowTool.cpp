// What the window process tests and scripts/measure-window.sh need from an X server without a
// window manager, done as a window manager would:
//   x11-window-tool wait TITLE SECONDS          prints the id of the mapped top-level window titled TITLE
//   x11-window-tool launch TITLE SECONDS PROGRAM ARGUMENTS...
//                                              starts PROGRAM, prints "PID MILLISECONDS-TO-MAPPED"
//   x11-window-tool close WINDOW                sends WM_DELETE_WINDOW, as a title bar's close button does
//   x11-window-tool iconify WINDOW              minimises the window the way a window manager does
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <sys/select.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

std::string title(Display* display, Window window)
{
    const Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, netName, 0, 1024, False, utf8, &type, &format, &count, &after, &data)
            == Success
        && data) {
        std::string name(reinterpret_cast<char*>(data), count);
        XFree(data);
        return name;
    }
    char* name = nullptr;
    std::string result;
    if (XFetchName(display, window, &name) && name) {
        result = name;
        XFree(name);
    }
    return result;
}

std::optional<Window> mappedWindow(Display* display, const std::string& wanted)
{
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    std::optional<Window> found;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) {
        return found;
    }
    for (unsigned i = 0; i < count && !found; ++i) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display, children[i], &attributes) && attributes.map_state == IsViewable
            && title(display, children[i]) == wanted) {
            found = children[i];
        }
    }
    XFree(children);
    return found;
}

// Waits for the server's map notifications, not on a clock, until the window shows or time runs out.
std::optional<Window> waitForWindow(Display* display, const std::string& wanted, double seconds)
{
    const auto deadline = Clock::now() + std::chrono::duration<double>(seconds);
    while (true) {
        if (const auto window = mappedWindow(display, wanted)) {
            return window;
        }
        while (!XPending(display)) {
            const auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now());
            if (left.count() <= 0) {
                return std::nullopt;
            }
            fd_set readable;
            FD_ZERO(&readable);
            FD_SET(ConnectionNumber(display), &readable);
            timeval timeout {static_cast<time_t>(left.count() / 1000000),
                             static_cast<suseconds_t>(left.count() % 1000000)};
            select(ConnectionNumber(display) + 1, &readable, nullptr, nullptr, &timeout);
        }
        XEvent event;
        XNextEvent(display, &event);
    }
}

void sendDelete(Display* display, Window window)
{
    XEvent event {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
}

// A window manager minimises by recording IconicState in WM_STATE and unmapping the window.
void iconify(Display* display, Window window)
{
    const Atom state = XInternAtom(display, "WM_STATE", False);
    const long iconic[2] = {IconicState, None};
    XChangeProperty(display, window, state, state, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(iconic),
                    2);
    XUnmapWindow(display, window);
}

int usage()
{
    std::fputs("usage: x11-window-tool wait TITLE SECONDS | launch TITLE SECONDS PROGRAM ARGUMENTS... | "
               "close WINDOW | iconify WINDOW\n",
               stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        return usage();
    }
    const std::unique_ptr<Display, int (*)(Display*)> display(XOpenDisplay(nullptr), XCloseDisplay);
    if (!display) {
        std::fputs("x11-window-tool: cannot open the display\n", stderr);
        return 1;
    }
    const std::string command = argv[1];
    if (command == "close" || command == "iconify") {
        const Window window = std::strtoul(argv[2], nullptr, 0);
        (command == "close" ? sendDelete : iconify)(display.get(), window);
        XSync(display.get(), False);
        return 0;
    }
    if ((command != "wait" && command != "launch") || argc < (command == "wait" ? 4 : 5)) {
        return usage();
    }
    // Listening before the program starts, so that its map cannot be missed.
    XSelectInput(display.get(), DefaultRootWindow(display.get()), SubstructureNotifyMask);
    XSync(display.get(), False);
    const auto launched = Clock::now();
    pid_t child = 0;
    if (command == "launch") {
        child = fork();
        if (child == 0) {
            close(ConnectionNumber(display.get()));
            execvp(argv[4], argv + 4);
            std::perror(argv[4]);
            _exit(127);
        }
    }
    const auto window = waitForWindow(display.get(), argv[2], std::atof(argv[3]));
    if (!window) {
        std::fprintf(stderr, "x11-window-tool: no window titled \"%s\" appeared\n", argv[2]);
        return 1;
    }
    if (command == "launch") {
        const auto elapsed = std::chrono::duration<double, std::milli>(Clock::now() - launched).count();
        std::printf("%d %.0f\n", static_cast<int>(child), elapsed);
    } else {
        std::printf("0x%lx\n", *window);
    }
    return 0;
}
