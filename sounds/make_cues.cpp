// Writes the program's four cue sounds as 16-bit PCM mono wave files into the folder given on
// the command line. Every sound is synthesised here: soft bell-like notes (a sine with two
// quieter overtones and an exponential decay), so nothing is taken from elsewhere.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "simulation/texts.h"

namespace {

constexpr int kRate = 22050;  // the notes and their overtones lie below 3.2 kHz
constexpr double kPi = 3.14159265358979323846;

struct Note {
    double startSeconds;
    double frequency;
    double lengthSeconds;
    double decayPerSecond;
};

std::vector<double> Render(const std::vector<Note>& notes, double totalSeconds)
{
    std::vector<double> samples(static_cast<std::size_t>(totalSeconds * kRate), 0.0);
    for (const Note& note : notes) {
        const auto first = static_cast<std::size_t>(note.startSeconds * kRate);
        const auto count = static_cast<std::size_t>(note.lengthSeconds * kRate);
        for (std::size_t i = 0; i < count && first + i < samples.size(); ++i) {
            const double t = double(i) / kRate;
            const double attack = std::min(1.0, t / 0.006);                         // no click at the start
            const double release = std::min(1.0, (note.lengthSeconds - t) / 0.03);  // nor at the end
            const double envelope = attack * release * std::exp(-note.decayPerSecond * t);
            const double w = 2 * kPi * note.frequency * t;
            samples[first + i] += envelope * (std::sin(w) + 0.35 * std::sin(2 * w) + 0.12 * std::sin(3 * w));
        }
    }
    double peak = 1e-9;
    for (double s : samples)
        peak = std::max(peak, std::fabs(s));
    for (double& s : samples)
        s = s / peak * 0.7;  // well below clipping
    return samples;
}

void PutLittleEndian(std::ofstream& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.put(static_cast<char>((value >> (8 * i)) & 0xFFU));
}

bool WriteWave(const std::string& path, const std::vector<double>& samples)
{
    std::ofstream out(path, std::ios::binary);
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    out.write("RIFF", 4);
    PutLittleEndian(out, 36 + dataBytes, 4);
    out.write("WAVEfmt ", 8);
    PutLittleEndian(out, 16, 4);  // fmt chunk size
    PutLittleEndian(out, 1, 2);   // PCM
    PutLittleEndian(out, 1, 2);   // mono
    PutLittleEndian(out, kRate, 4);
    PutLittleEndian(out, kRate * 2, 4);  // bytes per second
    PutLittleEndian(out, 2, 2);          // block align
    PutLittleEndian(out, 16, 2);         // bits per sample
    out.write("data", 4);
    PutLittleEndian(out, dataBytes, 4);
    for (double s : samples)
        PutLittleEndian(
            out, static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(std::clamp(s, -1.0, 1.0) * 32767))),
            2);
    return out.good();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    struct Cue {
        const char* name;
        std::vector<Note> notes;
        double seconds;
    };
    // clang-format off
    const Cue cues[] = {
        // success: a bright rising pair, G5 then C6
        {mokopera::texts::kSuccessCue, {{0.0, 783.99, 0.5, 5.0}, {0.16, 1046.50, 0.74, 4.0}}, 0.9},
        // failure: a softer falling pair, E5 then B4
        {mokopera::texts::kFailureCue, {{0.0, 659.25, 0.5, 5.0}, {0.2, 493.88, 0.7, 4.0}}, 0.9},
        // Reset and HELP: the two-tone door chime, "pin" then "pon"
        {mokopera::texts::kButtonCue, {{0.0, 987.77, 0.6, 4.5}, {0.3, 783.99, 0.9, 3.0}}, 1.2},
        // Quit: a longer closing phrase, G5 E5 C5
        {mokopera::texts::kQuitCue, {{0.0, 783.99, 0.5, 4.0}, {0.25, 659.25, 0.6, 3.5}, {0.5, 523.25, 0.95, 2.5}}, 1.45},
    };
    // clang-format on
    static_assert(sizeof cues / sizeof cues[0] == std::size(mokopera::texts::kCueFiles), "a sound for every cue");
    for (const Cue& cue : cues) {
        if (!WriteWave(folder + "/" + cue.name, Render(cue.notes, cue.seconds))) {
            std::fprintf(stderr, "cannot write %s/%s\n", folder.c_str(), cue.name);
            return 1;
        }
    }
    // The stamp the build waits for: the cues are all there.
    std::FILE* stamp = std::fopen((folder + "/cues.stamp").c_str(), "w");
    return stamp && std::fclose(stamp) == 0 ? 0 : 1;
}
