// Start-up figures under a real X server: starts a program, waits for a top-level window with
// the given title to be mapped, and reports the time since the start and the program's peak
// resident memory at that moment. Two programs are measured alternately, so both see the same
// machine; medians are printed.
//   startup_driver TITLE RUNS PROGRAM_A PROGRAM_B

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

std::string WindowTitle(Display* display, Window window)
{
    Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::string title;
    if (XGetWindowProperty(display, window, netName, 0, 1024, False, utf8, &type, &format, &count, &after, &data) ==
            Success &&
        data) {
        title.assign(reinterpret_cast<char*>(data), count);
        XFree(data);
    }
    return title;
}

struct Run {
    double milliseconds = -1;
    long peakKiB = 0;
};

Run Measure(Display* display, const char* program, const std::string& title)
{
    XSync(display, True);  // forget the maps of earlier runs
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        close(ConnectionNumber(display));
        execl(program, program, static_cast<char*>(nullptr));
        _exit(127);
    }
    Run run;
    const auto deadline = start + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline && run.milliseconds < 0) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && std::getenv("STARTUP_DRIVER_DEBUG"))
                std::fprintf(stderr, "mapped [%s]\n", WindowTitle(display, event.xmap.window).c_str());
            if (event.type == MapNotify && WindowTitle(display, event.xmap.window) == title)
                run.milliseconds =
                    std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        }
        if (run.milliseconds < 0)
            usleep(200);
    }
    kill(child, SIGKILL);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    run.peakKiB = usage.ru_maxrss;
    return run;
}

template <typename T>
T Median(std::vector<T> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s TITLE RUNS PROGRAM_A PROGRAM_B\n", argv[0]);
        return 2;
    }
    const std::string title = argv[1];
    const int runs = std::max(1, std::atoi(argv[2]));
    std::vector<double> time[2];
    std::vector<long> memory[2];
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "no X display\n");
        return 1;
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    for (int i = 0; i < runs; ++i) {
        for (int p = 0; p < 2; ++p) {
            const Run run = Measure(display, argv[3 + p], title);
            if (run.milliseconds < 0) {
                std::fprintf(stderr, "%s: the window never appeared\n", argv[3 + p]);
                return 1;
            }
            time[p].push_back(run.milliseconds);
            memory[p].push_back(run.peakKiB);
        }
    }
    for (int p = 0; p < 2; ++p)
        std::printf("%-40s median %.1f ms to the input box, peak RSS %.1f MiB (%d runs)\n", argv[3 + p],
                    Median(time[p]), Median(memory[p]) / 1024.0, runs);
    std::printf("ratio: time %.2f, memory %.2f\n", Median(time[0]) / Median(time[1]),
                double(Median(memory[0])) / double(Median(memory[1])));
    return 0;
}
