// The shot step's rate with the real generator and the real clock, effects discarded, and the
// batch's fast step on eight interleaved streams of one thread: the same source for the desktop
// build and the WebAssembly one (run with Node.js).
//   shot_rate [SECONDS]

#include <chrono>
#include <cstdio>
#include <cstdlib>

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
    for (const int shots : {5, 20, 50}) {
        ShotStreams<4> streams;
        for (std::size_t i = 0; i < 4; ++i)
            streams.Start(i, i + 1, 0.0);
        std::array<bool, 4> successes{};
        long long fired = 0, hits = 0;
        const auto start = std::chrono::steady_clock::now();
        std::chrono::duration<double> elapsed{};
        while (elapsed.count() < seconds) {
            for (int i = 0; i < 10000; ++i, fired += 4L * shots) {
                FireExperiments(streams, shots, successes);
                hits += successes[0] + successes[3];
            }
            elapsed = std::chrono::steady_clock::now() - start;
        }
        std::printf("fast step, N = %2d: %.1f million shots/s, %.2f ns a shot (%lld)\n", shots,
                    double(fired) / elapsed.count() / 1e6, elapsed.count() * 1e9 / double(fired), hits % 2);
    }
    return 0;
}
