// mokopera-sim: the classroom experiment run thousands of times at once.

#include <chrono>
#include <iostream>

#include "sim/simulator.h"

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return mokopera::sim::RunSimulator(arguments, std::cout, std::cerr, [] {
        return static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
    });
}
