#include "sounds/wave_file.h"

#include <cstring>

namespace mokopera {

namespace {

std::uint32_t Read32(std::span<const std::uint8_t> bytes, std::size_t at)
{
    return std::uint32_t{bytes[at]} | std::uint32_t{bytes[at + 1]} << 8U | std::uint32_t{bytes[at + 2]} << 16U |
           std::uint32_t{bytes[at + 3]} << 24U;
}

std::uint16_t Read16(std::span<const std::uint8_t> bytes, std::size_t at)
{
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8U);
}

bool TagIs(std::span<const std::uint8_t> bytes, std::size_t at, const char* tag)
{
    return std::memcmp(bytes.data() + at, tag, 4) == 0;
}

}  // namespace

std::optional<WaveSound> ParseWave(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < 12 || !TagIs(bytes, 0, "RIFF") || !TagIs(bytes, 8, "WAVE"))
        return std::nullopt;
    WaveSound sound;
    bool haveFormat = false;
    std::size_t at = 12;
    // `at` can pass the end by a chunk's pad byte, so compare without subtracting from the size.
    while (at + 8 <= bytes.size()) {
        const std::size_t size = Read32(bytes, at + 4);
        const std::size_t body = at + 8;
        const std::size_t available = bytes.size() - body;
        if (TagIs(bytes, at, "fmt ")) {
            if (size < 16 || available < 16)
                return std::nullopt;
            const int format = Read16(bytes, body);
            sound.channels = Read16(bytes, body + 2);
            sound.sampleRate = static_cast<int>(Read32(bytes, body + 4));
            sound.bitsPerSample = Read16(bytes, body + 14);
            if (format != 1 || sound.channels < 1 || sound.channels > 2 || sound.sampleRate < 8000 ||
                sound.sampleRate > 192000 || (sound.bitsPerSample != 8 && sound.bitsPerSample != 16))
                return std::nullopt;
            haveFormat = true;
        } else if (TagIs(bytes, at, "data")) {
            if (!haveFormat)
                return std::nullopt;
            const std::size_t frame = static_cast<std::size_t>(sound.channels * sound.bitsPerSample / 8);
            sound.dataOffset = body;
            sound.dataBytes = (size < available ? size : available) / frame * frame;
            if (sound.dataBytes == 0)
                return std::nullopt;
            return sound;
        }
        if (size > available)
            return std::nullopt;
        at = body + size + (size & 1U);  // chunks are padded to an even length
    }
    return std::nullopt;
}

}  // namespace mokopera
