#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace mokopera::sim {

// What the program says when its standard output cannot be written.
inline constexpr const char* kCannotWriteOutput =
    "mokopera-sim: 標準出力に書き込めません\ncannot write to the standard output\n";

// The whole command: reads the arguments, runs the batches, writes the table or CSV to `out`,
// the plot to its file, and messages and progress to `err`. Returns the exit status: 0, or 2 for
// bad arguments (then nothing is written), or an output that cannot be written: a plot that cannot
// be written leaves any file of that name as it was, and an unwritable `out` leaves no plot.
// `timeSeed` gives the seed when none is given. A run that cannot be carried out (no thread or
// no memory to be had) writes nothing and returns 1. With --pool, an input that holds no code
// that can be read returns 3, and a pool larger than the memory 2.
// A progress line is shown on `err` only where `progress` says it is a terminal.
int RunSimulator(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
                 const std::function<std::uint64_t()>& timeSeed, bool progress);

}  // namespace mokopera::sim
