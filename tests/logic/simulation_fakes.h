#pragma once

// Recorders and scripted sources for driving the simulation without a window.

#include <cstdio>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "simulation/clock.h"
#include "simulation/effects.h"
#include "simulation/random_source.h"

namespace mokopera::testing {

inline std::string MarkText(float x, float y, ConsoleColour colour)
{
    char text[64];
    std::snprintf(text, sizeof text, "mark %.1f %.1f %d", double(x), double(y), static_cast<int>(colour));
    return text;
}

// Writes every effect as one short line, so whole sequences compare as string lists; the target's
// points are counted, and its line says how many.
struct RecordingEffects : ShotEffects, VerdictCue {
    std::vector<std::string> log;
    int points = 0;
    void SetLabelText(ValueLabel label, const std::string& text) override
    {
        log.push_back(ValueLabelName(label) + ("=" + text));
    }
    void SetVerdictColour(ConsoleColour colour) override { log.push_back("colour " + std::to_string(int(colour))); }
    void ClearCanvas() override { log.push_back("clear"); }
    void SetPoint(float, float) override { ++points; }
    void TargetDrawn() override { log.push_back("target " + std::to_string(std::exchange(points, 0))); }
    void DrawMark(float x, float y, ConsoleColour colour) override { log.push_back(MarkText(x, y, colour)); }
    void PlayVerdictCue(const std::string& file) override { log.push_back("cue " + file); }
};

// Discards every effect: for statistics.
struct NullEffects : ShotEffects, VerdictCue {
    void SetLabelText(ValueLabel, const std::string&) override {}
    void SetVerdictColour(ConsoleColour) override {}
    void ClearCanvas() override {}
    void SetPoint(float, float) override {}
    void SetPoints(std::span<const CanvasPoint>) override {}
    void TargetDrawn() override {}
    void DrawMark(float, float, ConsoleColour) override {}
    void PlayVerdictCue(const std::string&) override {}
};

// Hands out a scripted list of values, then repeats the last one; records the seeds.
struct ScriptedRandom : RandomSource {
    std::deque<float> values;
    std::vector<float> seeds;
    explicit ScriptedRandom(std::deque<float> script) : values(std::move(script)) {}
    void Reseed(float seed) override { seeds.push_back(seed); }
    float Next() override
    {
        const float value = values.front();
        if (values.size() > 1)
            values.pop_front();
        return value;
    }
};

struct FrozenClock : Clock {
    float seconds = 43200.5F;
    float SecondsSinceMidnight() override { return seconds; }
};

}  // namespace mokopera::testing
