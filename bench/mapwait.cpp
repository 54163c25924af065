// Starts a program and reports, on one line, the milliseconds from exec until
// its first top-level window is mapped on the X server, then its resident
// memory once it has been idle for a while, then ends it.
//   mapwait IDLE_MS PROGRAM [ARGS...]   ->   "<startup ms> <rss KiB>"
#include <X11/Xlib.h>
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

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s IDLE_MS PROGRAM [ARGS...]\n", argv[0]);
        return 2;
    }
    const int idleMs = std::atoi(argv[1]);
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "mapwait: no X display\n");
        return 2;
    }
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execvp(argv[2], argv + 2);
        _exit(127);
    }
    // Without a window manager the program's top-level windows are children
    // of the root window; the first one mapped is its main window.
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapNotify && event.xmap.event == root) {
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
