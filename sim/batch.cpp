#include "sim/batch.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <stdexcept>
#include <string>
#include <thread>

#include "simulation/shot_step.h"
#include "simulation/texts.h"

namespace mokopera::sim {

namespace {

constexpr int kBlocks = 16;
constexpr double kFirstShotAt = 9 * 3600.0;  // nine in the morning
constexpr double kSecondsPerShot = 0.1;

// The time of day as automatic firing would see it: one shot every 0.1 s.
class FiringClock final : public Clock {
public:
    explicit FiringClock(double start) : start_(start) {}
    float SecondsSinceMidnight() override
    {
        return static_cast<float>(std::fmod(start_ + kSecondsPerShot * static_cast<double>(shots_++), 86400.0));
    }

private:
    double start_;
    long long shots_ = 0;
};

// Counts verdicts; every other effect is dropped.
class VerdictTally final : public ShotEffects {
public:
    long long successes = 0;
    void SetLabelText(ValueLabel, const std::string&) override {}
    void SetVerdictColour(ConsoleColour) override {}
    void ClearCanvas() override {}
    void DrawTarget() override {}
    void DrawMark(float, float, ConsoleColour) override {}
    void PlayVerdictCue(const std::string& waveFile) override { successes += waveFile == texts::kSuccessCue ? 1 : 0; }
};

struct Block {
    long long first = 0, end = 0;  // experiments [first, end)
    long long successes = 0;
    std::vector<Checkpoint> checkpoints;  // successes within the block, at checkpoints inside it
};

void RunBlock(int shots, std::uint64_t seed, int index, Block& block, const std::vector<long long>& checkpoints,
              std::atomic<long long>* progress)
{
    MixingRandomSource random(seed + 0x9E3779B97F4A7C15ULL * static_cast<std::uint64_t>(shots * 64 + index + 1));
    FiringClock clock(kFirstShotAt + kSecondsPerShot * static_cast<double>(block.first) * shots);
    VerdictTally tally;
    ExperimentState state;
    state.ShotsPerExperiment = static_cast<std::int16_t>(shots);
    auto checkpoint = std::upper_bound(checkpoints.begin(), checkpoints.end(), block.first);
    long long unreported = 0;
    for (long long experiment = block.first; experiment < block.end; ++experiment) {
        for (int shot = 0; shot < shots; ++shot)
            if (ShotStep(state, random, clock, tally) != StepResult::Completed)
                throw std::logic_error("the experiment counter overflowed");
        // A fresh series long before the window's 16-bit counters would fill up.
        if (state.Successes + state.Failures >= 30000)
            LoadSequence(state);
        for (; checkpoint != checkpoints.end() && *checkpoint == experiment + 1; ++checkpoint)
            block.checkpoints.push_back({*checkpoint, tally.successes});
        if (progress && ++unreported == 4096) {
            *progress += unreported;
            unreported = 0;
        }
    }
    if (progress)
        *progress += unreported;
    block.successes = tally.successes;
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
    std::atomic<int> next{0};
    std::vector<std::exception_ptr> failures(kBlocks);
    auto worker = [&] {
        for (int b = next++; b < kBlocks; b = next++) {
            try {
                RunBlock(shots, seed, b, blocks[b], checkpoints, progress);
            } catch (...) {
                failures[b] = std::current_exception();  // thrown from the calling thread below
            }
        }
    };
    workers = std::clamp(workers > 0 ? workers : std::thread::hardware_concurrency(), 1U, unsigned{kBlocks});
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
