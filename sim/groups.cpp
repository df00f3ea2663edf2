#include "sim/groups.h"

#include <algorithm>
#include <array>
#include <limits>

#include "simulation/fast_kernels.h"
#include "simulation/fast_step.h"

namespace mokopera::sim {

namespace {

constexpr double kFirstShotAt = 9 * 3600.0;  // nine in the morning

// Counts one experiment of `block`, and its running successes where a checkpoint asks.
void Count(Block& block, bool success, const std::vector<long long>& checkpoints)
{
    block.successes += success ? 1 : 0;
    const long long experiments = block.first + ++block.done;
    if (std::binary_search(checkpoints.begin(), checkpoints.end(), experiments))
        block.checkpoints.push_back({experiments, block.successes});
}

}  // namespace

struct GroupRun::Lanes {
    virtual ~Lanes() = default;
    virtual bool Advance(long long steps, std::vector<Block>& blocks, const std::vector<long long>& checkpoints) = 0;
};

namespace {

// One experiment on each of the streams: 8 or 16 in the machine's vector registers, fewer by the
// scalar step (they keep a core busy by themselves).
template <std::size_t Width>
void FireGroup(fast_step::Kernel kernel, ShotStreams<Width>& streams, int shots, std::array<bool, Width>& successes)
{
    if constexpr (Width == 8 || Width == 16)
        fast_step::Fire(kernel, streams, shots, successes);
    else
        FireExperiments(streams, shots, successes);
}

// `Width` blocks fired together while each has experiments left, then each alone to its end.
template <std::size_t Width>
class LanesOf final : public GroupRun::Lanes {
public:
    LanesOf(int shots, std::uint64_t seed, int firstBlock, const std::vector<Block>& blocks)
        : shots_(shots), kernel_(fast_step::BestKernel())
    {
        together_ = std::numeric_limits<long long>::max();
        for (std::size_t i = 0; i < Width; ++i) {
            // The block's own generator, and the simulated clock at its first shot, as if automatic
            // firing had fired every experiment before it.
            const std::uint64_t index = std::uint64_t(shots) * 64 + std::uint64_t(firstBlock) + i + 1;
            streams_.Start(i, seed + 0x9E3779B97F4A7C15ULL * index,
                           kFirstShotAt + rules::kSecondsPerShot * static_cast<double>(blocks[i].first) * shots);
            together_ = std::min(together_, blocks[i].end - blocks[i].first);
        }
    }

    bool Advance(long long steps, std::vector<Block>& blocks, const std::vector<long long>& checkpoints) override
    {
        std::array<bool, Width> successes{};
        for (; steps > 0 && fired_ < together_; --steps, ++fired_) {
            FireGroup(kernel_, streams_, shots_, successes);
            for (std::size_t i = 0; i < Width; ++i)
                Count(blocks[i], successes[i], checkpoints);
        }
        std::array<bool, 1> success{};
        while (steps > 0 && lane_ < Width) {
            if (!aloneStarted_) {
                alone_ = streams_.Alone(lane_);
                aloneStarted_ = true;
            }
            Block& block = blocks[lane_];
            for (; steps > 0 && block.first + block.done < block.end; --steps) {
                FireExperiments(alone_, shots_, success);
                Count(block, success[0], checkpoints);
            }
            if (block.first + block.done == block.end) {
                ++lane_;
                aloneStarted_ = false;
            }
        }
        return fired_ == together_ && lane_ == Width;
    }

private:
    int shots_;
    fast_step::Kernel kernel_;
    ShotStreams<Width> streams_;
    ShotStreams<1> alone_;
    long long together_ = 0, fired_ = 0;
    std::size_t lane_ = 0;
    bool aloneStarted_ = false;
};

}  // namespace

int GroupWidth(unsigned workers)
{
    // AVX-512 keeps 16 streams in its 32 registers; AVX2's 16 would spill, and it fires 8 faster.
    const fast_step::Kernel kernel = fast_step::BestKernel();
    if (kernel == fast_step::Kernel::Avx512 && workers <= 1)
        return 16;
    if (kernel != fast_step::Kernel::Scalar && workers <= 2)
        return 8;
    return workers <= 4 ? 4 : workers <= 8 ? 2 : 1;
}

GroupRun::GroupRun(int shots, long long experiments, std::uint64_t seed, int group, int width,
                   std::vector<long long> checkpoints)
    : checkpoints_(std::move(checkpoints))
{
    const int first = group * width;
    for (int b = first; b < first + width; ++b)
        blocks_.push_back({experiments * b / kBlocks, experiments * (b + 1) / kBlocks, 0, 0, {}});
    if (width == 16)
        lanes_ = std::make_unique<LanesOf<16>>(shots, seed, first, blocks_);
    else if (width == 8)
        lanes_ = std::make_unique<LanesOf<8>>(shots, seed, first, blocks_);
    else if (width == 4)
        lanes_ = std::make_unique<LanesOf<4>>(shots, seed, first, blocks_);
    else if (width == 2)
        lanes_ = std::make_unique<LanesOf<2>>(shots, seed, first, blocks_);
    else
        lanes_ = std::make_unique<LanesOf<1>>(shots, seed, first, blocks_);
}

GroupRun::~GroupRun() = default;

bool GroupRun::Advance(long long steps)
{
    return lanes_->Advance(steps, blocks_, checkpoints_);
}

long long GroupRun::Done() const
{
    long long done = 0;
    for (const Block& block : blocks_)
        done += block.done;
    return done;
}

BatchResult Combine(int shots, long long experiments, const std::vector<Block>& blocks)
{
    BatchResult result{shots, experiments, 0, {}};
    for (const Block& block : blocks) {
        for (const Checkpoint& inBlock : block.checkpoints)
            result.running.push_back({inBlock.experiments, result.successes + inBlock.successes});
        result.successes += block.successes;
    }
    return result;
}

}  // namespace mokopera::sim
