#pragma once

#include <cstdint>
#include <string>

#include "simulation/target.h"

namespace mokopera {

// The seven labels of the main window whose text the simulation writes.
enum class ValueLabel { Label2, Label4, Label5, Label9, Label11, Label13, Label15 };
inline constexpr ValueLabel kValueLabels[] = {ValueLabel::Label2, ValueLabel::Label4,  ValueLabel::Label5,
                                              ValueLabel::Label9, ValueLabel::Label11, ValueLabel::Label13,
                                              ValueLabel::Label15};

// The label's name in the window's layout: "Label2" for ValueLabel::Label2, and so on.
constexpr const char* ValueLabelName(ValueLabel label)
{
    switch (label) {
    case ValueLabel::Label2:
        return "Label2";
    case ValueLabel::Label4:
        return "Label4";
    case ValueLabel::Label5:
        return "Label5";
    case ValueLabel::Label9:
        return "Label9";
    case ValueLabel::Label11:
        return "Label11";
    case ValueLabel::Label13:
        return "Label13";
    case ValueLabel::Label15:
        return "Label15";
    }
    return nullptr;
}

// The labels that show the experiment under way: its shot number, and its hits so far (the
// target's name for screen readers is made of them).
inline constexpr ValueLabel kShotNumberLabel = ValueLabel::Label4;
inline constexpr ValueLabel kHitsLabel = ValueLabel::Label2;

// Console colour numbers: 9 marks hits and successes, 12 misses and failures.
enum class ConsoleColour : int { LightBlue = 9, LightRed = 12 };

// A console colour as 0xRRGGBB: light blue is pure blue, light red pure red.
constexpr std::uint32_t ConsoleRgb(ConsoleColour colour)
{
    return colour == ConsoleColour::LightBlue ? 0x0000FF : 0xFF0000;
}

// What a shot asks the main window to show: its value labels, Label9's colour, and on its canvas
// (a PointCanvas, where the target is set point by point) the target and the marks. The
// simulation calls these in a fixed order and never reads anything back, so a test can record
// the calls and a window can carry them out at once.
class ShotEffects : public PointCanvas {
public:
    virtual void SetLabelText(ValueLabel label, const std::string& text) = 0;
    virtual void SetVerdictColour(ConsoleColour colour) = 0;  // Label9's text colour
    virtual void ClearCanvas() = 0;
    // The target's points have all been set (SetPoint, in the canvas's foreground colour).
    virtual void TargetDrawn() = 0;
    // A circle of radius 2 units around (x, y), in units of the 500 × 500 canvas.
    virtual void DrawMark(float x, float y, ConsoleColour colour) = 0;
};

// The verdict's cue, started and never waited for.
class VerdictCue {
public:
    virtual ~VerdictCue() = default;
    virtual void PlayVerdictCue(const std::string& waveFile) = 0;
};

}  // namespace mokopera
