#pragma once

// Recorders and scripted sources for driving the simulation without a window.

#include <cstdio>
#include <deque>
#include <string>
#include <vector>

#include "simulation/effects.h"
#include "simulation/random_source.h"

namespace mokopera::testing {

inline const char* LabelName(ValueLabel label)
{
    switch (label) {
    case ValueLabel::Label2: return "Label2";
    case ValueLabel::Label4: return "Label4";
    case ValueLabel::Label5: return "Label5";
    case ValueLabel::Label9: return "Label9";
    case ValueLabel::Label11: return "Label11";
    case ValueLabel::Label13: return "Label13";
    case ValueLabel::Label15: return "Label15";
    }
    return "?";
}

// Writes every effect as one short line, so whole sequences compare as string lists.
class RecordingEffects : public ShotEffects {
public:
    std::vector<std::string> log;
    void SetLabelText(ValueLabel label, const std::string& text) override
    {
        log.push_back(std::string(LabelName(label)) + "=" + text);
    }
    void SetVerdictColour(ConsoleColour colour) override
    {
        log.push_back("colour " + std::to_string(static_cast<int>(colour)));
    }
    void ClearCanvas() override { log.push_back("clear"); }
    void DrawTarget() override { log.push_back("target"); }
    void DrawMark(float x, float y, ConsoleColour colour) override
    {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "mark %.1f %.1f %d", static_cast<double>(x), static_cast<double>(y),
                      static_cast<int>(colour));
        log.push_back(buffer);
    }
    void PlayVerdictCue(const std::string& file) override { log.push_back("cue " + file); }
};

// Discards every effect: for throughput and statistics.
class NullEffects : public ShotEffects {
public:
    void SetLabelText(ValueLabel, const std::string&) override {}
    void SetVerdictColour(ConsoleColour) override {}
    void ClearCanvas() override {}
    void DrawTarget() override {}
    void DrawMark(float, float, ConsoleColour) override {}
    void PlayVerdictCue(const std::string&) override {}
};

// Hands out a scripted list of values, then repeats the last one.
class ScriptedRandom : public RandomSource {
public:
    explicit ScriptedRandom(std::deque<float> values) : values_(std::move(values)) {}
    std::vector<float> seeds;
    void Reseed(float seed) override { seeds.push_back(seed); }
    float Next() override
    {
        const float value = values_.front();
        if (values_.size() > 1)
            values_.pop_front();
        return value;
    }

private:
    std::deque<float> values_;
};

class FrozenClock : public Clock {
public:
    explicit FrozenClock(float seconds = 43200.5F) : seconds_(seconds) {}
    float SecondsSinceMidnight() override { return seconds_; }

private:
    float seconds_;
};

}  // namespace mokopera::testing
