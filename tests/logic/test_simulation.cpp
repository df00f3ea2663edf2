// The simulation's rules without a window: the effects of one shot and their order, the
// shots-per-experiment entry, the theory text and the number formats; and the real generator,
// driven the way the program drives it (a reseed before every shot): honest rates and distances,
// and the batch's fast step, which is the same experiment as the window's ShotStep: on the same
// seeds and the same simulated clock, every experiment gets the same verdict.

#include <algorithm>
#include <array>
#include <cmath>
#include <sstream>
#include <tuple>
#include <utility>

#include "doctest_extras.h"
#include "simulation/entry.h"
#include "simulation/fast_kernels.h"
#include "simulation/fast_step.h"
#include "simulation/number_text.h"
#include "simulation/shot_step.h"
#include "simulation/theory.h"
#include "simulation_fakes.h"

using namespace mokopera;
using namespace mokopera::testing;

namespace {

// The state before a shot: its shot number, hits, successes, failures and shots per experiment.
ExperimentState Before(std::int16_t shot, std::int16_t hits, std::int16_t successes, std::int16_t failures,
                       std::int16_t shots)
{
    ExperimentState state;
    std::tie(state.ShotNumber, state.Hits, state.Successes, state.Failures, state.ShotsPerExperiment) =
        std::tie(shot, hits, successes, failures, shots);
    return state;
}

constexpr float kLargestBelowOne = 1.0F - 0x1p-24F;

}  // namespace

// What one shot asks the window to do, and in which order, from the state each row starts in.
TEST_CASE("EffectSequence")
{
    struct Row {
        const char* name;
        ExperimentState start;
        float distanceDraw, angleDraw;
        std::vector<std::string> expected;
        StepResult result = StepResult::Completed;
    };
    // clang-format off
    const Row rows[] = {
        {"first shot after load: no clearing, no verdict label", Before(0, 0, 0, 0, 5), 0.5F, 0.0F,
         {"Label4=1", "Label2=0", "Label13=0", "Label11=0", "mark 351.0 250.0 12"}},
        {"new experiment after a verdict: verdict emptied, fresh target before the mark", Before(5, 2, 1, 0, 5), 0.5F, 0.0F,
         {"Label9=", "clear", "target 6284", "Label4=1", "Label2=0", "Label13=1", "Label11=1", "Label5=1.0000000",
          "mark 351.0 250.0 12"}},
        {"only hit on the last shot is a success", Before(4, 0, 0, 0, 5), 0.0F, 0.0F,
         {"Label4=5", "colour 9", "Label9=成功", "cue Chimes.wav", "Label2=1", "Label13=1", "Label11=1",
          "Label5=1.0000000", "mark 251.0 250.0 9"}},
        {"all misses is a failure", Before(4, 0, 1, 2, 5), kLargestBelowOne, 0.0F,
         {"Label4=5", "colour 12", "Label9=失敗", "cue Chimes2.wav", "Label2=0", "Label13=1", "Label11=4",
          "Label5=0.2500000", "mark 450.0 250.0 12"}},
        {"distance 20 is a hit", Before(1, 0, 0, 0, 5), 0.0975F, 0.0F,
         {"Label4=2", "Label2=1", "Label13=0", "Label11=0", "mark 270.0 250.0 9"}},
        {"distance 21 is a miss", Before(1, 0, 0, 0, 5), 0.1025F, 0.0F,
         {"Label4=2", "Label2=0", "Label13=0", "Label11=0", "mark 271.0 250.0 12"}},
        {"quarter turn lands below the centre", Before(1, 0, 0, 0, 5), 0.5F, 0.25F,
         {"Label4=2", "Label2=0", "Label13=0", "Label11=0", "mark 250.0 351.0 12"}},
        {"225 of 256 rounds the half up", Before(19, 3, 224, 31, 20), 0.0F, 0.0F,
         {"Label4=20", "colour 9", "Label9=成功", "cue Chimes.wav", "Label2=4", "Label13=225", "Label11=256",
          "Label5=0.8789063", "mark 251.0 250.0 9"}},
        {"two successes in three", Before(4, 1, 1, 1, 5), 0.5F, 0.0F,
         {"Label4=5", "colour 9", "Label9=成功", "cue Chimes.wav", "Label2=1", "Label13=2", "Label11=3",
          "Label5=0.6666667", "mark 351.0 250.0 12"}},
        // The experiment that would be the 32768th gets no verdict: the step stops before it, with
        // no colour, text, count, cue or mark, so the labels keep adding up.
        {"the 32768th experiment, a success", Before(4, 0, 20000, 12767, 5), 0.0F, 0.0F, {"Label4=5"}, StepResult::CounterOverflow},
        {"the 32768th experiment, a failure", Before(4, 0, 0, 32767, 5), 0.5F, 0.0F, {"Label4=5"}, StepResult::CounterOverflow},
    };
    // clang-format on
    for (const Row& row : rows) {
        INFO(row.name);
        ExperimentState state = row.start;
        ScriptedRandom random({row.distanceDraw, row.angleDraw});
        FrozenClock clock;
        RecordingEffects effects;
        const ShotResult shot = ShotStep(state, random, clock, effects, effects);
        CHECK(shot.result == row.result);
        CHECK_EQ(effects.log, row.expected);
        CHECK(random.seeds == std::vector<float>{clock.seconds});  // one reseed, from the clock
        CHECK_GE(std::min(state.Successes, state.Failures), 0);
        CHECK_LE(state.Successes + state.Failures, 32767);
    }
}

// Each row: a text, and what the entry makes of it: N (5 to 50), -1 for rejected, 0 for empty.
TEST_CASE("EntryRule")
{
    // clang-format off
    const std::tuple<const char*, std::string, int> rows[] = {
        {"empty", std::string(), 0}, {"offered 20", std::string("20"), 20}, {"lowest 5", std::string("5"), 5},
        {"highest 50", std::string("50"), 50}, {"4.99", std::string("4.99"), -1}, {"50.5", std::string("50.5"), -1},
        {"5.5 cut to 5", std::string("5.5"), 5}, {"7.9 cut to 7", std::string("7.9"), 7},
        {"49.999 cut to 49", std::string("49.999"), 49}, {"letters", std::string("abc"), -1},
        {"20 then letters", std::string("20abc"), 20}, {"blanks only are not empty", std::string("   "), -1},
        {"leading blanks", std::string("  \t7"), 7}, {"plus sign", std::string("+12"), 12},
        {"negative", std::string("-20"), -1}, {"exponent in range", std::string("1e1"), 10},
        {"1e9", std::string("1e9"), -1}, {"exponent beyond double", std::string("1e400"), -1},
        {"inf", std::string("inf"), -1}, {"nan", std::string("nan"), -1}, {"400 digits", std::string(400, '9'), -1},
        {"leading NUL", std::string("\0" "20", 3), -1}, {"NUL after the number", std::string("20\0" "99", 5), 20},
        {"invalid UTF-8", std::string("\xff\xfe\x80"), -1}, {"full-width digits", std::string("２０"), 20},
        {"full-width point, sign and space", std::string("　＋７．９"), 7}, {"full-width minus", std::string("－２０"), -1},
        {"full-width and ASCII mixed", std::string("2０"), 20}, {"full-width 51", std::string("５１"), -1},
        {"an ideographic space only", std::string("　"), -1}, {"full-width comma stops", std::string("７，９"), 7},
        {"half a full-width digit", std::string("\xEF\xBC"), -1},
        {"hex prefix reads as 0", std::string("0x10"), -1}, {"double sign", std::string("+-7"), -1},
        {"decimal comma stops the number", std::string("7,9"), 7},
    };
    // clang-format on
    for (const auto& row : rows) {
        const auto& [name, text, expected] = row;
        INFO(std::get<0>(row));
        const EntryOutcome outcome = ValidateShotsEntry(text);
        CHECK(outcome.Kind == (expected == 0  ? EntryKind::Empty
                               : expected < 0 ? EntryKind::Rejected
                                              : EntryKind::Accepted));
        CHECK_EQ(int{outcome.Value}, std::max(expected, 0));
    }
}

// The theory for the lowest, offered and highest N. The single-precision running product shows at
// N = 10 (the exact 1 − 0.9^10 would read 0.6513216) and N = 24 (0.9202336).
TEST_CASE("TheoryText")
{
    const std::pair<int, const char*> rows[] = {
        {5, "0.4095100"}, {10, "0.6513215"}, {20, "0.8784233"}, {24, "0.9202335"}, {50, "0.9948462"}};
    for (const auto& row : rows) {
        const auto& [shots, text] = row;
        INFO("N = ", std::get<0>(row));
        ExperimentState state;
        state.ShotsPerExperiment = static_cast<std::int16_t>(shots);
        CHECK_EQ(ComputeTheory(state).text, std::string(text));
    }
}

// 何回撃てば？ The least N past each level; a level no N reaches gives 0.
TEST_CASE("ShotsNeeded")
{
    const std::pair<double, int> rows[] = {{0.5, 7}, {0.9, 22}, {0.99, 44}, {0.4, 5}, {0.995, 0}};
    for (const auto& [level, shots] : rows)
        CHECK_EQ(LeastShotsAbove(level), shots);
}

TEST_CASE("ProbabilityFormat")
{
    // clang-format off
    const std::tuple<const char*, double, const char*> rows[] = {
        {"1/3", 1.0 / 3, "0.3333333"}, {"2/3", 2.0 / 3, "0.6666667"}, {"one", 1.0, "1.0000000"},
        {"zero", 0.0, "0.0000000"}, {"exact half rounds up", 225.0 / 256, "0.8789063"},
        {"just below a half rounds down", 0.00000004999999, "0.0000000"}, {"tiny", 1e-300, "0.0000000"},
        {"carry into the units", 0.99999996, "1.0000000"},
        {"1121/1280 is a half, stored just below it", 1121.0 / 1280, "0.8757813"},
        {"0.99999995 is a half, stored just below it", 0.99999995, "1.0000000"},
    };
    // clang-format on
    for (const auto& row : rows) {
        const auto& [name, value, text] = row;
        INFO(std::get<0>(row));
        CHECK_EQ(FormatProbability(value), std::string(text));
    }
}

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
                if (ShotStep(state, random, clock, effects, effects).result != StepResult::Completed)
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

// Four blocks of the fast step against ShotStep with the window's clock, at N = 5, 20 and 50.
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
            FrozenClock clock;
            NullEffects effects;
            std::vector<bool> given;
            ExperimentState state;
            state.ShotsPerExperiment = static_cast<std::int16_t>(shots);
            int completed = 0;
            for (int shot = 0; shot < kExperiments * shots; ++shot) {
                // Automatic firing's clock as the window reads it: the time since a midnight.
                clock.seconds =
                    static_cast<float>(std::fmod(firstShots[block] + rules::kSecondsPerShot * shot, 86400.0));
                const ShotResult fired = ShotStep(state, random, clock, effects, effects);
                completed += fired.result == StepResult::Completed ? 1 : 0;
                if (fired.verdict)
                    given.push_back(fired.verdict == std::string("成功"));
            }
            REQUIRE(completed == kExperiments * shots);
            CHECK(given == fast[block]);
            CHECK(std::count(fast[block].begin(), fast[block].end(), true) > 0);
        }
    }
}

// Every vector kernel the machine runs fires what the scalar step fires, on 8 and on 16 streams,
// across midnights; the kernels it cannot run are named.
template <std::size_t Count>
void CheckKernels(int shots)
{
    ShotStreams<Count> reference;
    for (std::size_t i = 0; i < Count; ++i)
        reference.Start(i, 0x9E3779B97F4A7C15ULL * (i + 1),
                        i % 3 == 0 ? 86400.0 * double(i + 1) - 0.05 * double(i) : 9 * 3600.0 + double(i));
    for (const fast_step::Kernel kernel : fast_step::BuiltKernels()) {
        if (!fast_step::Runs(kernel)) {
            MESSAGE("this machine cannot run the ", fast_step::KernelName(kernel), " kernel");
            continue;
        }
        INFO(fast_step::KernelName(kernel), ", ", Count, " streams, N = ", shots);
        ShotStreams<Count> scalar = reference, vector = reference;
        std::array<bool, Count> expected{}, fired{};
        int same = 0;
        for (int experiment = 0; experiment < 3000; ++experiment) {
            FireExperiments(scalar, shots, expected);
            fast_step::Fire(kernel, vector, shots, fired);
            same += expected == fired && scalar.state == vector.state ? 1 : 0;
        }
        CHECK_EQ(same, 3000);
    }
}

TEST_CASE("EveryKernelAsTheScalarStep")
{
    for (const int shots : {5, 23, 50}) {
        CheckKernels<8>(shots);
        CheckKernels<16>(shots);
    }
}
