// Effect sequences of one shot: what the window is asked to do, and in which order.

#include <tuple>

#include "doctest_extras.h"
#include "simulation/shot_step.h"
#include "simulation_fakes.h"

using namespace mokopera;
using namespace mokopera::testing;

namespace {

// Shot number, hits, successes, failures and shots per experiment before the shot.
struct Start {
    std::int16_t shotNumber, hits, successes, failures, shots;
};

ExperimentState StateFrom(const Start& s)
{
    ExperimentState state;
    std::tie(state.ShotNumber, state.Hits, state.Successes, state.Failures, state.ShotsPerExperiment) =
        std::tie(s.shotNumber, s.hits, s.successes, s.failures, s.shots);
    return state;
}

constexpr float kLargestBelowOne = 1.0F - 0x1p-24F;

}  // namespace

TEST_CASE("EffectSequence")
{
    struct Row {
        const char* name;
        Start start;
        float distanceDraw, angleDraw;
        std::vector<std::string> expected;
        StepResult result = StepResult::Completed;
    };
    // clang-format off
    const Row rows[] = {
        {"first shot after load: no clearing, no verdict label", {0, 0, 0, 0, 5}, 0.5F, 0.0F,
         {"Label4=1", "Label2=0", "Label13=0", "Label11=0", "mark 351.0 250.0 12"}},
        {"new experiment after a verdict: verdict emptied, fresh target before the mark", {5, 2, 1, 0, 5}, 0.5F, 0.0F,
         {"Label9=", "clear", "target", "Label4=1", "Label2=0", "Label13=1", "Label11=1", "Label5=1.0000000",
          "mark 351.0 250.0 12"}},
        {"only hit on the last shot is a success", {4, 0, 0, 0, 5}, 0.0F, 0.0F,
         {"Label4=5", "colour 9", "Label9=成功", "cue Chimes.wav", "Label2=1", "Label13=1", "Label11=1",
          "Label5=1.0000000", "mark 251.0 250.0 9"}},
        {"all misses is a failure", {4, 0, 1, 2, 5}, kLargestBelowOne, 0.0F,
         {"Label4=5", "colour 12", "Label9=失敗", "cue Chimes2.wav", "Label2=0", "Label13=1", "Label11=4",
          "Label5=0.2500000", "mark 450.0 250.0 12"}},
        {"distance 20 is a hit", {1, 0, 0, 0, 5}, 0.0975F, 0.0F,
         {"Label4=2", "Label2=1", "Label13=0", "Label11=0", "mark 270.0 250.0 9"}},
        {"distance 21 is a miss", {1, 0, 0, 0, 5}, 0.1025F, 0.0F,
         {"Label4=2", "Label2=0", "Label13=0", "Label11=0", "mark 271.0 250.0 12"}},
        {"quarter turn lands below the centre", {1, 0, 0, 0, 5}, 0.5F, 0.25F,
         {"Label4=2", "Label2=0", "Label13=0", "Label11=0", "mark 250.0 351.0 12"}},
        {"225 of 256 rounds the half up", {19, 3, 224, 31, 20}, 0.0F, 0.0F,
         {"Label4=20", "colour 9", "Label9=成功", "cue Chimes.wav", "Label2=4", "Label13=225", "Label11=256",
          "Label5=0.8789063", "mark 251.0 250.0 9"}},
        {"two successes in three", {4, 1, 1, 1, 5}, 0.5F, 0.0F,
         {"Label4=5", "colour 9", "Label9=成功", "cue Chimes.wav", "Label2=1", "Label13=2", "Label11=3",
          "Label5=0.6666667", "mark 351.0 250.0 12"}},
        // The experiment that would be the 32768th gets no verdict: the step stops before it, with
        // no colour, text, count, cue or mark, so the labels keep adding up.
        {"the 32768th experiment, a success", {4, 0, 20000, 12767, 5}, 0.0F, 0.0F, {"Label4=5"}, StepResult::CounterOverflow},
        {"the 32768th experiment, a failure", {4, 0, 0, 32767, 5}, 0.5F, 0.0F, {"Label4=5"}, StepResult::CounterOverflow},
    };
    // clang-format on
    for (const Row& row : rows) {
        INFO(row.name);
        ExperimentState state = StateFrom(row.start);
        ScriptedRandom random({row.distanceDraw, row.angleDraw});
        FrozenClock clock;
        RecordingEffects effects;
        CHECK(ShotStep(state, random, clock, effects) == row.result);
        CHECK_EQ(effects.log, row.expected);
        CHECK(random.seeds == std::vector<float>{clock.seconds});  // one reseed, from the clock
        CHECK((state.Successes >= 0 && state.Failures >= 0 && state.Successes + state.Failures <= 32767));
    }
}
