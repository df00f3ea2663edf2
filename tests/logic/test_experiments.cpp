// The real generator, driven the way the program drives it (a reseed before every shot): honest
// rates and distances, and the batch's fast step, which is the same experiment as the window's
// ShotStep: on the same seeds and the same simulated clock, every experiment gets the same verdict.

#include <algorithm>
#include <array>
#include <cmath>

#include "doctest_extras.h"
#include "simulation/fast_step.h"
#include "simulation/shot_step.h"
#include "simulation_fakes.h"

using namespace mokopera;
using namespace mokopera::testing;

// 100,000 experiments with a frozen clock: the same seed before every shot, which must not replay
// the same values. The success rate lies within 4.5 standard deviations of 1 − 0.9^N, and the
// distances are uniform over 1..200 (a value of the generator outside [0, 1) would give a
// distance the table has no room for).
TEST_CASE("SuccessRateAndDistances")
{
    for (const int shots : {5, 20, 50}) {
        INFO("N = ", shots);
        constexpr int kExperiments = 100'000;
        ExperimentState state;
        state.ShotsPerExperiment = static_cast<std::int16_t>(shots);
        MixingRandomSource random(static_cast<std::uint64_t>(shots) * 1000003U);
        FrozenClock clock;
        NullEffects effects;
        std::array<long, 201> distances{};
        int successes = 0;
        for (int experiment = 0; experiment < kExperiments; ++experiment) {
            for (int shot = 0; shot < shots; ++shot) {
                if (ShotStep(state, random, clock, effects) != StepResult::Completed)
                    FAIL("the shot step stopped");
                ++distances.at(static_cast<std::size_t>(state.Distance));
            }
            successes += state.Hits > 0 ? 1 : 0;
            if (state.Successes + state.Failures == 30'000)
                LoadSequence(state);  // a new series before the 16-bit counter fills up
        }
        const double p = 1.0 - std::pow(0.9, shots);
        const double sd = std::sqrt(p * (1 - p) / kExperiments);
        const double rate = double(successes) / kExperiments;
        CHECK_MESSAGE(std::fabs(rate - p) < 4.5 * sd, "rate ", rate);

        CHECK_EQ(distances[0], 0L);  // and none beyond 200: at() would have thrown
        const double expected = double(kExperiments) * shots / 200.0;
        double chiSquare = 0.0;
        for (int d = 1; d <= 200; ++d)
            chiSquare += std::pow(distances[std::size_t(d)] - expected, 2) / expected;
        // 199 degrees of freedom: 282 is the critical value at p = 0.0001.
        CHECK_MESSAGE(chiSquare < 282.0, "chi-square ", chiSquare);
    }
}

namespace {

// Automatic firing's clock as the window would read it: fmod of the time since a midnight.
class FiringClock final : public Clock {
public:
    explicit FiringClock(double firstShot) : firstShot_(firstShot) {}
    float SecondsSinceMidnight() override
    {
        return static_cast<float>(std::fmod(firstShot_ + kSecondsPerShot * static_cast<double>(shots_++), 86400.0));
    }

private:
    double firstShot_;
    long long shots_ = 0;
};

// The verdicts ShotStep gives, in order: true for 成功.
struct Verdicts final : NullEffects {
    std::vector<bool> given;
    void SetLabelText(ValueLabel label, const std::string& text) override
    {
        if (label == ValueLabel::Label9 && !text.empty())
            given.push_back(text == "成功");
    }
};

}  // namespace

TEST_CASE("SameVerdictsAsShotStep")
{
    constexpr int kExperiments = 3000;
    // Four blocks in flight, the first two crossing midnight within their first experiments.
    const std::array<double, 4> firstShots = {86400.0 - 3.05, 3 * 86400.0 - 0.1, 9 * 3600.0, 12345.678};
    const std::array<std::uint64_t, 4> seeds = {1, 0x9E3779B97F4A7C15ULL, 42, 7};
    for (const int shots : {5, 20, 50}) {
        INFO("N = ", shots);
        ShotStreams<4> streams;
        for (std::size_t block = 0; block < 4; ++block)
            streams.Start(block, seeds[block], firstShots[block]);
        std::array<std::vector<bool>, 4> fast;
        std::array<bool, 4> successes{};
        for (int experiment = 0; experiment < kExperiments; ++experiment) {
            FireExperiments(streams, shots, successes);
            for (std::size_t block = 0; block < 4; ++block)
                fast[block].push_back(successes[block]);
        }
        for (std::size_t block = 0; block < 4; ++block) {
            INFO("block ", block);
            MixingRandomSource random(seeds[block]);
            FiringClock clock(firstShots[block]);
            Verdicts verdicts;
            ExperimentState state;
            state.ShotsPerExperiment = static_cast<std::int16_t>(shots);
            int completed = 0;
            for (int shot = 0; shot < kExperiments * shots; ++shot)
                completed += ShotStep(state, random, clock, verdicts) == StepResult::Completed ? 1 : 0;
            REQUIRE(completed == kExperiments * shots);
            CHECK(verdicts.given == fast[block]);
            CHECK(std::count(fast[block].begin(), fast[block].end(), true) > 0);
        }
    }
}
