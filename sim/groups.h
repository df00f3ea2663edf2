#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace mokopera::sim {

// Successes counted after the first `experiments` experiments of a batch.
struct Checkpoint {
    long long experiments = 0;
    long long successes = 0;
};

struct BatchResult {
    int shots = 0;
    long long experiments = 0;
    long long successes = 0;
    std::vector<Checkpoint> running;  // one per requested checkpoint, in order
};

// A batch is cut into this many blocks, each with its own generator stream, so that its figures
// depend on the seed only, never on who fires which block.
inline constexpr int kBlocks = 16;

// One block of a batch: experiments [first, end), and what has been fired of them.
struct Block {
    long long first = 0, end = 0;
    long long done = 0;  // experiments fired so far
    long long successes = 0;
    std::vector<Checkpoint> checkpoints;  // successes within the block, at the checkpoints inside it
};

// How many blocks one worker fires together when `workers` share a batch: where a vector kernel
// runs, 16 or 8 fill the registers of one or two cores; 4 keep a core busy by the scalar step;
// fewer leave groups for more cores. The figures are the same either way.
[[nodiscard]] int GroupWidth(unsigned workers);

// The blocks `group * width` .. `group * width + width - 1` of a batch of `experiments`
// experiments of `shots` shots, fired through the window's own draws with a simulated clock that
// fires a shot every 0.1 s. `checkpoints` (ascending) ask for running counts of successes. The
// work can be done in slices (Advance), so that a caller can report progress or stop between them.
class GroupRun {
public:
    GroupRun(int shots, long long experiments, std::uint64_t seed, int group, int width,
             std::vector<long long> checkpoints);
    GroupRun(const GroupRun&) = delete;
    GroupRun& operator=(const GroupRun&) = delete;
    ~GroupRun();

    // Fires at most `steps` more rounds (a round is one experiment of each block still firing);
    // true once every block of the group is done.
    bool Advance(long long steps);
    // Experiments fired so far, over all the group's blocks.
    [[nodiscard]] long long Done() const;
    // The group's blocks, in order.
    [[nodiscard]] const std::vector<Block>& Blocks() const { return blocks_; }

    struct Lanes;

private:
    std::vector<long long> checkpoints_;
    std::vector<Block> blocks_;
    std::unique_ptr<Lanes> lanes_;
};

// The whole batch from its `kBlocks` blocks, all done, in order.
[[nodiscard]] BatchResult Combine(int shots, long long experiments, const std::vector<Block>& blocks);

}  // namespace mokopera::sim
