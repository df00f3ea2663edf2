// The shot step's rate with the real generator and the real clock, effects discarded, and the
// batch's fast step on one thread in CPU time: the scalar code on four streams and every kernel
// the machine runs on 8 and 16: the same source for the desktop build and the WebAssembly one
// (run with Node.js).
//   shot_rate [SECONDS]

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "simulation/fast_kernels.h"
#include "simulation/fast_step.h"
#include "simulation/shot_step.h"

namespace {

struct Discard final : mokopera::ShotEffects, mokopera::VerdictCue {
    void SetLabelText(mokopera::ValueLabel, const std::string&) override {}
    void SetVerdictColour(mokopera::ConsoleColour) override {}
    void ClearCanvas() override {}
    void SetPoint(float, float) override {}
    void SetPoints(std::span<const mokopera::CanvasPoint>) override {}
    void TargetDrawn() override {}
    void DrawMark(float, float, mokopera::ConsoleColour) override {}
    void PlayVerdictCue(const std::string&) override {}
};

// The fast step's CPU time a shot on `Count` streams through `kernel`, at N = 5, 20 and 50.
template <std::size_t Count>
void FastStepRate(mokopera::fast_step::Kernel kernel, double seconds)
{
    using namespace mokopera;
    for (const int shots : {5, 20, 50}) {
        ShotStreams<Count> streams;
        for (std::size_t i = 0; i < Count; ++i)
            streams.Start(i, i + 1, 0.0);
        std::array<bool, Count> successes{};
        long long fired = 0, hits = 0;
        const std::clock_t start = std::clock();
        double used = 0;
        while (used < seconds) {
            for (int i = 0; i < 10000; ++i, fired += static_cast<long long>(Count) * shots) {
                if constexpr (Count == 4)
                    FireExperiments(streams, shots, successes);
                else
                    fast_step::Fire(kernel, streams, shots, successes);
                hits += successes[0] + successes[Count - 1];
            }
            used = double(std::clock() - start) / CLOCKS_PER_SEC;
        }
        std::printf("fast step, %s, %2zu streams, N = %2d: %.2f ns of CPU a shot (%lld)\n",
                    fast_step::KernelName(kernel), Count, shots, used * 1e9 / double(fired), hits % 2);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    using namespace mokopera;
    const double seconds = argc > 1 ? std::atof(argv[1]) : 2.0;
    for (const int shots : {5, 20, 50}) {
        ExperimentState state;
        state.ShotsPerExperiment = static_cast<std::int16_t>(shots);
        MixingRandomSource random(12345);
        SystemClock clock;
        Discard effects;
        long long fired = 0;
        const auto start = std::chrono::steady_clock::now();
        std::chrono::duration<double> elapsed{};
        while (elapsed.count() < seconds) {
            for (int i = 0; i < 10000; ++i, ++fired)
                if (ShotStep(state, random, clock, effects, effects).result != StepResult::Completed)
                    LoadSequence(state);  // the experiment counter filled up: a new series
            elapsed = std::chrono::steady_clock::now() - start;
        }
        std::printf("ShotStep,  N = %2d: %.2f million shots/s\n", shots, double(fired) / elapsed.count() / 1e6);
    }
    // The fast step: the scalar code on 4 streams, and each kernel this machine runs on 8 and 16,
    // in CPU time (this machine is shared: wall time wanders with the load, CPU time does not).
    FastStepRate<4>(fast_step::Kernel::Scalar, seconds);
    for (const fast_step::Kernel kernel : fast_step::BuiltKernels()) {
        if (!fast_step::Runs(kernel)) {
            std::printf("fast step, %s: not on this machine\n", fast_step::KernelName(kernel));
            continue;
        }
        FastStepRate<8>(kernel, seconds);
        FastStepRate<16>(kernel, seconds);
    }
    return 0;
}
