#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace mokopera {

// The playable part of a RIFF/WAVE file: uncompressed PCM, 8 or 16 bits, mono or stereo.
struct WaveSound {
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;
    std::size_t dataOffset = 0;  // where the samples start in the file's bytes
    std::size_t dataBytes = 0;   // whole frames only
};

// Reads the header of a wave file held in memory. Anything it cannot play safely (not RIFF,
// compressed, an odd format, chunk sizes that run past the end) gives nothing; it never reads
// outside `bytes`. A data chunk cut short by a truncated file plays what is there.
[[nodiscard]] std::optional<WaveSound> ParseWave(std::span<const std::uint8_t> bytes);

}  // namespace mokopera
