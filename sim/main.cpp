// mokopera-sim: the classroom experiment run thousands of times at once.

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <iostream>
#include <unistd.h>

#include "sim/plot_file.h"
#include "sim/simulator.h"

namespace {

// Whether `descriptor` is open. A closed one is taken by /dev/null, so that no file the program
// opens later (the plot) can end up as its standard output or error.
bool KeepOpen(int descriptor)
{
    if (fcntl(descriptor, F_GETFD) != -1)
        return true;
    const int placeholder = open("/dev/null", descriptor == STDIN_FILENO ? O_RDONLY : O_WRONLY);
    if (placeholder >= 0 && placeholder != descriptor) {
        dup2(placeholder, descriptor);
        close(placeholder);
    }
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    KeepOpen(STDIN_FILENO);
    KeepOpen(STDERR_FILENO);
    if (!KeepOpen(STDOUT_FILENO)) {
        std::cerr << mokopera::sim::kCannotWriteOutput;
        return 2;
    }
    mokopera::sim::CleanUpOnInterrupt();
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const auto timeSeed = [] {
        return static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
    };
    int status = mokopera::sim::RunSimulator(arguments, std::cout, std::cerr, timeSeed, isatty(STDERR_FILENO) == 1);
    // The last buffered bytes reach the file only now; a full disk may still refuse them.
    if (std::fclose(stdout) != 0 && status == 0) {
        std::cerr << mokopera::sim::kCannotWriteOutput;
        status = 2;
    }
    return status;
}
