#include "simulation/fast_kernels.h"

#include <cstring>

#if defined(__x86_64__)
// GCC 12's AVX-512 intrinsics take their "undefined" operands from a variable initialised by
// itself, which its own -Wmaybe-uninitialized then reports wherever they are inlined. Clang (and
// so clang-tidy) has no such warning, and an older one reports the unknown name instead.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <immintrin.h>
#pragma GCC diagnostic pop
#else
#include <immintrin.h>
#endif
#endif

namespace mokopera::fast_step {

namespace {

// The vector types of `Width` lanes: 64-bit unsigned and signed integers, doubles, and the floats
// and 32-bit integers the doubles narrow to.
template <int Width>
struct Lanes {
    typedef std::uint64_t U __attribute__((vector_size(8 * Width)));
    typedef std::int64_t S __attribute__((vector_size(8 * Width)));
    typedef double D __attribute__((vector_size(8 * Width)));
    typedef float F __attribute__((vector_size(4 * Width)));
    typedef std::uint32_t U32 __attribute__((vector_size(4 * Width)));
};

// Whether a stream's clock passes a midnight during the next experiment of `shots` shots: its
// last shot comes a whole day or more after the midnight kept. The clock only moves on, so then
// every earlier shot of the experiment is inside the day too.
template <std::size_t Count>
bool PassesMidnight(const ShotStreams<Count>& streams, int shots)
{
    const double last = rules::kSecondsPerShot * (streams.shots + double(shots - 1));
    bool passes = false;
    for (std::size_t i = 0; i < Count; ++i)
        passes = passes || streams.firstShot[i] + last - streams.midnight[i] >= kSecondsPerDay;
    return passes;
}

// The experiment on `Count` streams in vectors of `Width` lanes: each operation is the scalar
// step's own (a double's sum and difference, its rounding to float, 64-bit products, shifts and
// a rotation), so every lane draws what FireExperiments draws.
template <int Width, std::size_t Count>
__attribute__((always_inline)) inline void FireLanes(ShotStreams<Count>& streams, int shots,
                                                     std::array<bool, Count>& successes)
{
    if (PassesMidnight(streams, shots)) {
        FireExperiments(streams, shots, successes);
        return;
    }
    using V = Lanes<Width>;
    constexpr std::size_t kVectors = Count / Width;
    typename V::U state[kVectors];
    typename V::D first[kVectors], midnight[kVectors];
    typename V::S hits[kVectors] = {};
    std::memcpy(state, streams.state.data(), sizeof state);
    std::memcpy(first, streams.firstShot.data(), sizeof first);
    std::memcpy(midnight, streams.midnight.data(), sizeof midnight);
    double fired = streams.shots;
    for (int shot = 0; shot < shots; ++shot) {
        const double step = rules::kSecondsPerShot * fired;
        fired += 1.0;
#pragma GCC unroll 4
        for (std::size_t v = 0; v < kVectors; ++v) {
            const typename V::F time = __builtin_convertvector((first[v] + step) - midnight[v], typename V::F);
            const typename V::U bits = __builtin_convertvector((typename V::U32)time, typename V::U);
            typename V::U z = state[v] ^ (bits * generator::kReseedFactor);
            z = (z ^ (z >> 30U)) * generator::kMixFirst;  // generator::Mix64
            z = (z ^ (z >> 27U)) * generator::kMixSecond;
            z = z ^ (z >> 31U);
            const typename V::U shifted = (((z >> 18U) ^ z) >> 27U) & 0xFFFFFFFFULL;  // generator::Output
            const typename V::U turn = z >> 59U;
            const typename V::U draw = ((shifted >> turn) | (shifted << (32U - turn))) & 0xFFFFFFFFULL;
            hits[v] |= draw < (std::uint64_t{kFirstMiss} << 8U);
            state[v] = z * generator::kTwiceMultiplier + generator::kTwiceIncrement;
        }
    }
    std::memcpy(streams.state.data(), state, sizeof state);
    streams.shots = fired;
    for (std::size_t i = 0; i < Count; ++i)
        successes[i] = hits[i / Width][i % Width] != 0;
}

#if defined(__x86_64__)
// AVX-512 multiplies 64-bit lanes in one instruction (vpmullq), widens the time's floats in one,
// and rotates the 32-bit lanes that hold each draw in one (vprorvd, the upper lanes being zero
// and turned by zero); the generic vector code above spends five on the rotation and four on the
// widening, on the one chain of dependent steps that 8 streams have.
#define MOKOPERA_AVX512 __attribute__((target("avx512f,avx512dq,avx512vl")))
MOKOPERA_AVX512 inline __m512i XorShifted(__m512i z, unsigned by)
{
    return _mm512_xor_si512(z, _mm512_srli_epi64(z, by));
}

template <std::size_t Count>
MOKOPERA_AVX512 void FireAvx512(ShotStreams<Count>& streams, int shots, std::array<bool, Count>& successes)
{
    constexpr std::size_t kVectors = Count / 8;
    __m512i state[kVectors];
    __m512d first[kVectors], midnight[kVectors];
    __mmask8 hits[kVectors] = {}, passes = 0;
    // As PassesMidnight, for all the streams at once.
    const __m512d last = _mm512_set1_pd(rules::kSecondsPerShot * (streams.shots + double(shots - 1)));
    for (std::size_t v = 0; v < kVectors; ++v) {
        state[v] = _mm512_loadu_si512(streams.state.data() + 8 * v);
        first[v] = _mm512_loadu_pd(streams.firstShot.data() + 8 * v);
        midnight[v] = _mm512_loadu_pd(streams.midnight.data() + 8 * v);
        passes =
            static_cast<__mmask8>(passes | _mm512_cmp_pd_mask(_mm512_sub_pd(_mm512_add_pd(first[v], last), midnight[v]),
                                                              _mm512_set1_pd(kSecondsPerDay), _CMP_GE_OQ));
    }
    if (passes != 0) {
        FireExperiments(streams, shots, successes);
        return;
    }
    const __m512i low32 = _mm512_set1_epi64(0xFFFFFFFFLL);
    const __m512i firstMiss = _mm512_set1_epi64(std::int64_t{kFirstMiss} << 8U);
    const __m512i reseed = _mm512_set1_epi64(static_cast<std::int64_t>(generator::kReseedFactor));
    const __m512i mix1 = _mm512_set1_epi64(static_cast<std::int64_t>(generator::kMixFirst));
    const __m512i mix2 = _mm512_set1_epi64(static_cast<std::int64_t>(generator::kMixSecond));
    const __m512i twice = _mm512_set1_epi64(static_cast<std::int64_t>(generator::kTwiceMultiplier));
    const __m512i increment = _mm512_set1_epi64(static_cast<std::int64_t>(generator::kTwiceIncrement));
    double fired = streams.shots;
    for (int shot = 0; shot < shots; ++shot) {
        const __m512d step = _mm512_set1_pd(rules::kSecondsPerShot * fired);
        fired += 1.0;
#pragma GCC unroll 2
        for (std::size_t v = 0; v < kVectors; ++v) {
            const __m256 time = _mm512_cvtpd_ps(_mm512_sub_pd(_mm512_add_pd(first[v], step), midnight[v]));
            const __m512i bits = _mm512_cvtepu32_epi64(_mm256_castps_si256(time));
            __m512i z = _mm512_xor_si512(state[v], _mm512_mullo_epi64(bits, reseed));
            z = _mm512_mullo_epi64(XorShifted(z, 30), mix1);  // generator::Mix64
            z = XorShifted(_mm512_mullo_epi64(XorShifted(z, 27), mix2), 31);
            const __m512i shifted = _mm512_and_si512(_mm512_srli_epi64(XorShifted(z, 18), 27), low32);
            const __m512i draw = _mm512_rorv_epi32(shifted, _mm512_srli_epi64(z, 59));  // generator::Output
            hits[v] = static_cast<__mmask8>(hits[v] | _mm512_cmplt_epu64_mask(draw, firstMiss));
            state[v] = _mm512_add_epi64(_mm512_mullo_epi64(z, twice), increment);
        }
    }
    for (std::size_t v = 0; v < kVectors; ++v)
        _mm512_storeu_si512(streams.state.data() + 8 * v, state[v]);
    streams.shots = fired;
    for (std::size_t i = 0; i < Count; ++i)
        successes[i] = ((hits[i / 8] >> (i % 8)) & 1U) != 0;
}
#undef MOKOPERA_AVX512

// AVX2 multiplies only the low 32 bits of each 64-bit lane, so the vector code above leaves GCC
// three products, two shifts and two sums a multiply, and turns the rest into more work than it
// needs. Written out here: the reseed's product has a 32-bit factor (two products), the rotation
// works on the 32-bit lanes that hold the draw, and a draw below 2^32 compares as signed.
__attribute__((target("avx2"), always_inline)) inline __m256i Times(__m256i a, std::uint64_t k)
{
    const __m256i low = _mm256_set1_epi64x(static_cast<std::int64_t>(k));
    const __m256i high = _mm256_set1_epi64x(static_cast<std::int64_t>(k >> 32U));
    const __m256i cross = _mm256_add_epi64(_mm256_mul_epu32(_mm256_srli_epi64(a, 32), low), _mm256_mul_epu32(a, high));
    return _mm256_add_epi64(_mm256_mul_epu32(a, low), _mm256_slli_epi64(cross, 32));
}

// a × k for an `a` below 2^32.
__attribute__((target("avx2"), always_inline)) inline __m256i TimesNarrow(__m256i a, std::uint64_t k)
{
    const __m256i low = _mm256_set1_epi64x(static_cast<std::int64_t>(k));
    const __m256i high = _mm256_set1_epi64x(static_cast<std::int64_t>(k >> 32U));
    return _mm256_add_epi64(_mm256_mul_epu32(a, low), _mm256_slli_epi64(_mm256_mul_epu32(a, high), 32));
}

__attribute__((target("avx2"), always_inline)) inline __m256i XorShifted(__m256i z, int by)
{
    return _mm256_xor_si256(z, _mm256_srli_epi64(z, by));
}

template <std::size_t Count>
__attribute__((target("avx2"))) void FireAvx2(ShotStreams<Count>& streams, int shots,
                                              std::array<bool, Count>& successes)
{
    if (PassesMidnight(streams, shots)) {
        FireExperiments(streams, shots, successes);
        return;
    }
    constexpr std::size_t kVectors = Count / 4;
    __m256i state[kVectors], hits[kVectors];
    __m256d first[kVectors], midnight[kVectors];
    for (std::size_t v = 0; v < kVectors; ++v) {
        state[v] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(streams.state.data() + 4 * v));
        first[v] = _mm256_loadu_pd(streams.firstShot.data() + 4 * v);
        midnight[v] = _mm256_loadu_pd(streams.midnight.data() + 4 * v);
        hits[v] = _mm256_setzero_si256();
    }
    const __m256i low32 = _mm256_set1_epi64x(0xFFFFFFFFLL);
    const __m256i thirtyTwo = _mm256_set1_epi64x(32);
    const __m256i firstMiss = _mm256_set1_epi64x(std::int64_t{kFirstMiss} << 8U);
    const __m256i increment = _mm256_set1_epi64x(static_cast<std::int64_t>(generator::kTwiceIncrement));
    double fired = streams.shots;
    for (int shot = 0; shot < shots; ++shot) {
        const __m256d step = _mm256_set1_pd(rules::kSecondsPerShot * fired);
        fired += 1.0;
#pragma GCC unroll 4
        for (std::size_t v = 0; v < kVectors; ++v) {
            const __m128 time = _mm256_cvtpd_ps(_mm256_sub_pd(_mm256_add_pd(first[v], step), midnight[v]));
            const __m256i bits = _mm256_cvtepu32_epi64(_mm_castps_si128(time));
            __m256i z = _mm256_xor_si256(state[v], TimesNarrow(bits, generator::kReseedFactor));
            z = Times(XorShifted(z, 30), generator::kMixFirst);  // generator::Mix64
            z = XorShifted(Times(XorShifted(z, 27), generator::kMixSecond), 31);
            // generator::Output: each 64-bit lane's upper half is zero before and after the
            // 32-bit shifts, which give zero for a shift by 32 as the rotation needs.
            const __m256i shifted = _mm256_and_si256(_mm256_srli_epi64(XorShifted(z, 18), 27), low32);
            const __m256i turn = _mm256_srli_epi64(z, 59);
            const __m256i draw = _mm256_or_si256(_mm256_srlv_epi32(shifted, turn),
                                                 _mm256_sllv_epi32(shifted, _mm256_sub_epi64(thirtyTwo, turn)));
            hits[v] = _mm256_or_si256(hits[v], _mm256_cmpgt_epi64(firstMiss, draw));
            state[v] = _mm256_add_epi64(Times(z, generator::kTwiceMultiplier), increment);
        }
    }
    unsigned hit = 0;  // a bit a stream: the sign bits of the lanes
    for (std::size_t v = 0; v < kVectors; ++v) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(streams.state.data() + 4 * v), state[v]);
        hit |= static_cast<unsigned>(_mm256_movemask_pd(_mm256_castsi256_pd(hits[v]))) << (4 * v);
    }
    streams.shots = fired;
    for (std::size_t i = 0; i < Count; ++i)
        successes[i] = ((hit >> i) & 1U) != 0;
}
#endif

template <std::size_t Count>
void FireWith(Kernel kernel, ShotStreams<Count>& streams, int shots, std::array<bool, Count>& successes)
{
    switch (kernel) {
#if defined(__x86_64__)
    case Kernel::Avx512:
        return FireAvx512(streams, shots, successes);
    case Kernel::Avx2:
        return FireAvx2(streams, shots, successes);
#endif
#if defined(__wasm_simd128__)
    case Kernel::Simd128:
        return FireLanes<2>(streams, shots, successes);
#endif
    default:
        return FireExperiments(streams, shots, successes);
    }
}

}  // namespace

const char* KernelName(Kernel kernel)
{
    constexpr const char* kNames[] = {"scalar", "AVX2", "AVX-512", "SIMD128"};
    return kNames[static_cast<std::size_t>(kernel)];
}

std::vector<Kernel> BuiltKernels()
{
#if defined(__x86_64__)
    return {Kernel::Scalar, Kernel::Avx2, Kernel::Avx512};
#elif defined(__wasm_simd128__)
    return {Kernel::Scalar, Kernel::Simd128};
#else
    return {Kernel::Scalar};
#endif
}

bool Runs(Kernel kernel)
{
    switch (kernel) {
#if defined(__x86_64__)
    case Kernel::Avx512:
        return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq") &&
               __builtin_cpu_supports("avx512vl");
    case Kernel::Avx2:
        return __builtin_cpu_supports("avx2");
#endif
#if defined(__wasm_simd128__)
    case Kernel::Simd128:
        return true;  // the module would not have loaded without it
#endif
    case Kernel::Scalar:
        return true;
    default:
        return false;
    }
}

Kernel BestKernel()
{
    // SIMD128 is left to the tests: the engines multiply 64-bit lanes by several 32-bit products,
    // and the scalar step on four streams fires faster (3.2 against 4.3 ns a shot under Node.js).
    Kernel best = Kernel::Scalar;
    for (Kernel kernel : BuiltKernels()) {
        if (Runs(kernel) && kernel != Kernel::Simd128)
            best = kernel;  // listed from the slowest
    }
    return best;
}

void Fire(Kernel kernel, ShotStreams<8>& streams, int shots, std::array<bool, 8>& successes)
{
    FireWith(kernel, streams, shots, successes);
}

void Fire(Kernel kernel, ShotStreams<16>& streams, int shots, std::array<bool, 16>& successes)
{
    FireWith(kernel, streams, shots, successes);
}

}  // namespace mokopera::fast_step
