// Headless shot throughput: the real generator, the real clock (read and reseeded every shot)
// and a sink that drops the effects.

#include <benchmark/benchmark.h>

#include "simulation/shot_step.h"

namespace {

using namespace mokopera;

class DiscardEffects final : public ShotEffects {
public:
    void SetLabelText(ValueLabel, const std::string& text) override { benchmark::DoNotOptimize(text.data()); }
    void SetVerdictColour(ConsoleColour) override {}
    void ClearCanvas() override {}
    void DrawTarget() override {}
    void DrawMark(float x, float y, ConsoleColour) override
    {
        benchmark::DoNotOptimize(x);
        benchmark::DoNotOptimize(y);
    }
    void PlayVerdictCue(const std::string&) override {}
};

void BM_ShotStep(benchmark::State& bench)
{
    ExperimentState state;
    state.ShotsPerExperiment = static_cast<std::int16_t>(bench.range(0));
    MixingRandomSource random(12345);
    SystemClock clock;
    DiscardEffects effects;
    for (auto _ : bench) {
        if (ShotStep(state, random, clock, effects) != StepResult::Completed)
            ZeroCounters(state);  // the experiment counter filled up: start a new series
    }
    bench.SetItemsProcessed(bench.iterations());
}
BENCHMARK(BM_ShotStep)->Arg(5)->Arg(20)->Arg(50);

void BM_SystemClock(benchmark::State& bench)
{
    SystemClock clock;
    for (auto _ : bench)
        benchmark::DoNotOptimize(clock.SecondsSinceMidnight());
}
BENCHMARK(BM_SystemClock);

}  // namespace
