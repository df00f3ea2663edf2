#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "sim/groups.h"

namespace mokopera::sim {

// Runs `experiments` experiments of `shots` shots each with FireExperiments: the program's own
// generator, reseeding and draws, without the window's effects, on a simulated clock that fires a
// shot every 0.1 s. The blocks of the
// batch are spread over the cores; the figures depend on the seed only, never on the number of
// cores. `checkpoints` (ascending, 1..experiments) ask for the running count of successes;
// `progress`, when given, counts the finished experiments as they come.
// `workers` threads share the blocks (0: one per core). A failure in any of them is thrown here,
// once every worker has stopped.
[[nodiscard]] BatchResult RunBatch(int shots, long long experiments, std::uint64_t seed,
                                   const std::vector<long long>& checkpoints,
                                   std::atomic<long long>* progress = nullptr, unsigned workers = 0);

}  // namespace mokopera::sim
