#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "simulation/fast_step.h"

// The batch's fast step on 8 or 16 streams at once in the processor's vector registers: the same
// draws and verdicts as FireExperiments, bit for bit, on whatever the machine has. The scalar code
// runs everywhere; AVX2 and AVX-512 (whose 64-bit multiply is one instruction) where the x86-64
// processor has them, chosen when the program runs, so that one build runs on any x86-64. The web
// edition's WebAssembly has a SIMD128 kernel too, tested, but not chosen: it is slower there.
namespace mokopera::fast_step {

enum class Kernel : std::uint8_t { Scalar, Avx2, Avx512, Simd128 };

// The kernel's name as the benchmarks and the tests print it: "scalar", "AVX2" …
[[nodiscard]] const char* KernelName(Kernel kernel);

// Every kernel this build has, and whether this machine can run it.
[[nodiscard]] std::vector<Kernel> BuiltKernels();
[[nodiscard]] bool Runs(Kernel kernel);
// The fastest kernel this machine runs (on the web, the scalar one).
[[nodiscard]] Kernel BestKernel();

// One experiment of `shots` shots on each stream through `kernel` (one the machine runs), as
// FireExperiments does it. An experiment in which a stream's clock passes a midnight is fired by
// the scalar code, which keeps the midnight; the others need no look at the clock's day.
void Fire(Kernel kernel, ShotStreams<8>& streams, int shots, std::array<bool, 8>& successes);
void Fire(Kernel kernel, ShotStreams<16>& streams, int shots, std::array<bool, 16>& successes);

}  // namespace mokopera::fast_step
