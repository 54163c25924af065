// Starts a program and reports, on one line, the milliseconds from exec until
// its first top-level window (or its window named TITLE) is mapped on the X
// server, then its resident memory once it has been idle for a while, then
// ends it. It waits on the server's events: polling with other programs
// would take processor time from the program being timed.
//   mapwait [--name TITLE] IDLE_MS PROGRAM [ARGS...]
//       ->   "<startup ms> <rss KiB>"
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

namespace {

long residentKiB(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            long kib = 0;
            status >> kib;
            return kib;
        }
        status.ignore(4096, '\n');
    }
    return -1;
}

// The window's name as stored, whatever its encoding: the names compared are
// ASCII.
std::string nameOf(Display* display, Window window)
{
    Atom type = None;
    int format = 0;
    unsigned long length = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::string name;
    if (XGetWindowProperty(display, window, XA_WM_NAME, 0, 256, False, AnyPropertyType, &type,
            &format, &length, &after, &data)
            == Success
        && data) {
        if (format == 8) name.assign(reinterpret_cast<const char*>(data), length);
        XFree(data);
    }
    return name;
}

// Whether `window` or a window in it, down to `depth` levels, is named
// `name`: a window manager maps its frame, which holds the program's window.
bool holdsWindowNamed(Display* display, Window window, const std::string& name, int depth)
{
    if (nameOf(display, window) == name) return true;
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (depth == 0 || !XQueryTree(display, window, &root, &parent, &children, &count)) return false;
    bool found = false;
    for (unsigned i = 0; i < count && !found; ++i)
        found = holdsWindowNamed(display, children[i], name, depth - 1);
    if (children) XFree(children);
    return found;
}

// A window may be gone by the time it is looked at.
int ignoreError(Display*, XErrorEvent*)
{
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    const bool byName = argc > 2 && std::strcmp(argv[1], "--name") == 0;
    const std::string title = byName ? argv[2] : "";
    if (byName) argv += 2, argc -= 2;
    if (argc < 3) {
        std::fprintf(stderr, "usage: mapwait [--name TITLE] IDLE_MS PROGRAM [ARGS...]\n");
        return 2;
    }
    const int idleMs = std::atoi(argv[1]);
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "mapwait: no X display\n");
        return 2;
    }
    const Window root = DefaultRootWindow(display);
    XSetErrorHandler(ignoreError);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execvp(argv[2], argv + 2);
        _exit(127);
    }
    // Top-level windows are children of the root window, or in a window
    // manager's frames that are; without a name, the first one mapped is
    // taken for the program's main window (no window manager).
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapNotify && event.xmap.event == root
            && (!byName || holdsWindowNamed(display, event.xmap.window, title, 2))) {
            break;
        }
    }
    const double startupMs
        = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
              .count();
    std::this_thread::sleep_for(std::chrono::milliseconds(idleMs));
    const long rss = residentKiB(pid);
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    XCloseDisplay(display);
    std::printf("%.1f %ld\n", startupMs, rss);
    return 0;
}
