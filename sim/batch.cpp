#include "sim/batch.h"

#include <algorithm>
#include <array>
#include <exception>
#include <thread>

#include "simulation/fast_step.h"

namespace mokopera::sim {

namespace {

constexpr int kBlocks = 16;
constexpr double kFirstShotAt = 9 * 3600.0;  // nine in the morning

struct Block {
    long long first = 0, end = 0;  // experiments [first, end)
    long long done = 0;            // experiments fired so far
    long long successes = 0;
    std::vector<Checkpoint> checkpoints;  // successes within the block, at checkpoints inside it
};

// Starts the stream of block `index` as lane `lane` of `streams`: the block's own generator, and
// the simulated clock at the block's first shot, as if automatic firing had fired every
// experiment before it.
template <std::size_t Width>
void Start(ShotStreams<Width>& streams, std::size_t lane, int shots, std::uint64_t seed, int index, const Block& block)
{
    streams.Start(lane, seed + 0x9E3779B97F4A7C15ULL * static_cast<std::uint64_t>(shots * 64 + index + 1),
                  kFirstShotAt + kSecondsPerShot * static_cast<double>(block.first) * shots);
}

// Counts one experiment of `block`, and its running successes where a checkpoint asks.
void Count(Block& block, bool success, const std::vector<long long>& checkpoints)
{
    block.successes += success ? 1 : 0;
    const long long experiments = block.first + ++block.done;
    if (std::binary_search(checkpoints.begin(), checkpoints.end(), experiments))
        block.checkpoints.push_back({experiments, block.successes});
}

// Fires blocks `first` .. `first + Width - 1` to their ends, all together while each has
// experiments left, then each alone.
template <std::size_t Width>
void RunGroup(int shots, std::uint64_t seed, int first, std::vector<Block>& blocks,
              const std::vector<long long>& checkpoints, std::atomic<long long>* progress)
{
    ShotStreams<Width> streams;
    for (std::size_t i = 0; i < Width; ++i)
        Start(streams, i, shots, seed, first + int(i), blocks[first + i]);
    long long together = blocks[first].end - blocks[first].first;
    for (std::size_t i = 1; i < Width; ++i)
        together = std::min(together, blocks[first + i].end - blocks[first + i].first);
    std::array<bool, Width> successes{};
    for (long long experiment = 0; experiment < together; ++experiment) {
        FireExperiments(streams, shots, successes);
        for (std::size_t i = 0; i < Width; ++i)
            Count(blocks[first + i], successes[i], checkpoints);
        if (progress && (experiment + 1) % 4096 == 0)
            *progress += 4096 * long(Width);
    }
    for (std::size_t i = 0; i < Width; ++i) {
        Block& block = blocks[first + i];
        ShotStreams<1> alone = streams.Alone(i);
        std::array<bool, 1> success{};
        while (block.first + block.done < block.end) {
            FireExperiments(alone, shots, success);
            Count(block, success[0], checkpoints);
        }
    }
    if (progress)
        *progress += (together % 4096) * long(Width);
}

}  // namespace

BatchResult RunBatch(int shots, long long experiments, std::uint64_t seed, const std::vector<long long>& checkpoints,
                     std::atomic<long long>* progress, unsigned workers)
{
    std::vector<Block> blocks(kBlocks);
    for (int b = 0; b < kBlocks; ++b) {
        blocks[b].first = experiments * b / kBlocks;
        blocks[b].end = experiments * (b + 1) / kBlocks;
    }
    // The workers share groups of blocks, and fire a group's blocks together: four at a time
    // keep a core busy, fewer leave groups for more cores. The figures are the same either way.
    workers = std::clamp(workers > 0 ? workers : std::thread::hardware_concurrency(), 1U, unsigned{kBlocks});
    const int width = workers <= 4 ? 4 : workers <= 8 ? 2 : 1;
    const int groups = kBlocks / width;
    std::atomic<int> next{0};
    std::vector<std::exception_ptr> failures(static_cast<std::size_t>(groups));
    auto worker = [&] {
        for (int group = next++; group < groups; group = next++) {
            try {
                if (width == 4)
                    RunGroup<4>(shots, seed, group * 4, blocks, checkpoints, progress);
                else if (width == 2)
                    RunGroup<2>(shots, seed, group * 2, blocks, checkpoints, progress);
                else
                    RunGroup<1>(shots, seed, group, blocks, checkpoints, progress);
            } catch (...) {
                failures[static_cast<std::size_t>(group)] = std::current_exception();  // thrown below
            }
        }
    };
    workers = std::min(workers, static_cast<unsigned>(groups));
    std::vector<std::thread> threads;
    for (unsigned t = 1; t < workers; ++t)
        threads.emplace_back(worker);
    worker();
    for (auto& thread : threads)
        thread.join();
    for (const std::exception_ptr& failure : failures)
        if (failure)
            std::rethrow_exception(failure);

    BatchResult result{shots, experiments, 0, {}};
    for (const Block& block : blocks) {
        for (const Checkpoint& inBlock : block.checkpoints)
            result.running.push_back({inBlock.experiments, result.successes + inBlock.successes});
        result.successes += block.successes;
    }
    return result;
}

}  // namespace mokopera::sim
