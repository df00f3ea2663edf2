// Fuzzes the wave-file reader: whatever a cue file holds, the reader stays inside the bytes and
// what it accepts is playable.

#include <cstdint>
#include <cstdlib>
#include <span>

#include "sounds/wave_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto wave = mokopera::ParseWave(std::span(data, size));
    if (wave) {
        const std::size_t frame = static_cast<std::size_t>(wave->channels * wave->bitsPerSample / 8);
        if (wave->dataOffset + wave->dataBytes > size || wave->dataBytes == 0 || wave->dataBytes % frame != 0)
            std::abort();
    }
    return 0;
}
