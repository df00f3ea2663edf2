#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace mokopera::sim {

// The whole command: reads the arguments, runs the batches, writes the table or CSV to `out`,
// the plot to its file, and messages and progress to `err`. Returns the exit status: 0, or 2 for
// bad arguments or an output file that cannot be written (then nothing is written at all).
// `timeSeed` gives the seed when none is given.
int RunSimulator(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
                 const std::function<std::uint64_t()>& timeSeed);

}  // namespace mokopera::sim
