#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace mokopera::sim {

// From now on, Ctrl-C (SIGINT) and SIGTERM remove a plot that is half written, end an open
// progress line, and end the program with status 128 + the signal (130 for Ctrl-C).
void CleanUpOnInterrupt();

// The whole command: reads the arguments, runs the batches, writes the table or CSV to `out`,
// the plot to its file, and messages and progress to `err`. Returns the exit status: 0, or 2 for
// bad arguments (then nothing is written), or an output that cannot be written: a plot that cannot
// be written leaves any file of that name as it was, and an unwritable `out` leaves no plot.
// `timeSeed` gives the seed when none is given.
int RunSimulator(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
                 const std::function<std::uint64_t()>& timeSeed);

}  // namespace mokopera::sim
