// Our wave files: the reader accepts what it can play safely and nothing else, and the four
// generated cues are short, audible, unclipped 16-bit PCM.

#include <algorithm>
#include <cstring>
#include <fstream>
#include <optional>
#include <tuple>

#include "doctest_extras.h"
#include "simulation/texts.h"
#include "sounds/wave_file.h"

using namespace mokopera;

namespace {

std::string Little(std::uint32_t value, int bytes)
{
    std::string text;
    for (int i = 0; i < bytes; ++i)
        text += char((value >> (8 * i)) & 0xFFU);
    return text;
}

// A wave file's bytes: a RIFF header, then the chunks given as (tag, body), padded to even sizes.
std::string Riff(std::initializer_list<std::pair<const char*, std::string>> chunks)
{
    std::string body = "WAVE";
    for (const auto& [tag, content] : chunks)
        body += tag + Little(std::uint32_t(content.size()), 4) + content + std::string(content.size() % 2, '\0');
    return "RIFF" + Little(std::uint32_t(body.size()), 4) + body;
}

std::string Format(int format, int channels, std::uint32_t rate, int bits)
{
    return Little(format, 2) + Little(channels, 2) + Little(rate, 4) + Little(rate * channels * bits / 8, 4) +
           Little(channels * bits / 8, 2) + Little(bits, 2);
}

std::optional<WaveSound> Parse(const std::string& bytes)
{
    return ParseWave(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

}  // namespace

// How many bytes of samples each file has to play; -1: not played at all.
TEST_CASE("WaveHeaders")
{
    const std::string pcm = Format(1, 1, 44100, 16);
    std::string huge = Riff({{"LIST", "llll"}, {"fmt ", pcm}});
    std::memcpy(huge.data() + 16, "\xF0\xFF\xFF\xFF", 4);
    // clang-format off
    const std::tuple<const char*, std::string, int> rows[] = {
        {"plain PCM", Riff({{"fmt ", pcm}, {"data", std::string(100, 'x')}}), 100},
        {"odd chunk padded before fmt", Riff({{"LIST", "lll"}, {"fmt ", pcm}, {"data", std::string(8, 'x')}}), 8},
        {"stereo 8-bit, half a frame dropped", Riff({{"fmt ", Format(1, 2, 22050, 8)}, {"data", std::string(9, 'x')}}), 8},
        {"data cut short plays what is there", Riff({{"fmt ", pcm}, {"data", std::string(100, 'x')}}).substr(0, 104), 60},
        {"not RIFF", "this is not a wave file\n", -1},
        {"header only", std::string("RIFF\x10\0\0\0WAVEfmt ", 16), -1},
        {"compressed", Riff({{"fmt ", Format(3, 1, 44100, 16)}, {"data", std::string(8, 'x')}}), -1},
        {"24-bit", Riff({{"fmt ", Format(1, 1, 44100, 24)}, {"data", std::string(6, 'x')}}), -1},
        {"absurd rate", Riff({{"fmt ", Format(1, 1, 4000000000U, 16)}, {"data", std::string(8, 'x')}}), -1},
        {"no channels", Riff({{"fmt ", Format(1, 0, 44100, 16)}, {"data", std::string(8, 'x')}}), -1},
        {"data before fmt", Riff({{"data", std::string(8, 'x')}, {"fmt ", pcm}}), -1},
        {"empty data", Riff({{"fmt ", pcm}, {"data", ""}}), -1},
        {"chunk size past the end", huge, -1},
        // Found by fuzzing: the pad byte of an odd last chunk lies past the end of the file.
        {"odd last chunk without its pad byte", Riff({{"fmt ", pcm}}) + std::string(" \x10\0\0\x01\0\0\0\0", 9), -1},
    };
    // clang-format on
    for (const auto& row : rows) {
        const auto& [name, bytes, playable] = row;
        INFO(std::get<0>(row));
        const auto wave = Parse(bytes);
        CHECK_EQ(wave ? int(wave->dataBytes) : -1, playable);
        CHECK((!wave || wave->dataOffset + wave->dataBytes <= bytes.size()));
    }
}

// Our generated files: 16-bit PCM mono, shorter than 1.5 s, audible and not clipped.
TEST_CASE("GeneratedCues")
{
    for (const char* name : texts::kCueFiles) {
        INFO(name);
        std::ifstream file(std::string(MOKOPERA_CUES) + "/" + name, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(file), {}};
        const auto parsed = Parse(bytes);
        REQUIRE(parsed);
        const WaveSound wave = parsed.value_or(WaveSound{});
        CHECK_EQ(wave.channels, 1);
        CHECK_EQ(wave.bitsPerSample, 16);
        CHECK_EQ(wave.dataOffset, 44);
        const double seconds = double(wave.dataBytes) / 2 / wave.sampleRate;
        CHECK_MESSAGE((seconds > 0.3 && seconds < 1.5), seconds);
        int peak = 0;
        for (std::size_t at = wave.dataOffset; at + 1 < bytes.size(); at += 2)
            peak =
                std::max(peak, std::abs(int(std::int16_t(std::uint8_t(bytes[at]) | std::uint8_t(bytes[at + 1]) << 8))));
        CHECK_MESSAGE((peak > 8000 && peak < 32000), "peak ", peak);
    }
}
