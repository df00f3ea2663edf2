#pragma once

#include <cstdint>
#include <span>
#include <string_view>

// The two windows as data: every control's name, caption, place, font and colours, and the help
// text. A front end builds its windows from this and nothing else.
namespace mokopera::layout {

// In pixels of the window's client area (at 96 dots per inch: twips ÷ 15).
struct Rect {
    int left, top, width, height;
};

enum class Kind { Button, Label, Line, TargetCanvas, TextCanvas };

// A label's look: plain text on the window's background, a thin box, the pink title box, or a
// box whose caption takes two lines.
enum class Look { Plain, Boxed, Title, Wrapped };

// Colours: fixed ones, or the system's (Default is the control kind's own colour).
enum class Paint { Default, White, TitlePink, Black, WindowText };

// A paint as 0xRRGGBB. Default and WindowText are the system's button face and window text; a
// front end without a system palette (the web page, the installed app's colours) uses these.
[[nodiscard]] std::uint32_t PaintRgb(Paint paint);

struct Control {
    const char* name;
    Kind kind;
    const char* caption;  // UTF-8; empty for value labels, lines and canvases
    Rect pixels;
    int fontPixels;  // 0: the system's default font
    bool bold;
    Look look;
    Paint background;
    Paint text;
    int focusOrder;  // among the controls that take the keyboard focus, lower first; -1: none
};

struct Window {
    const char* name;
    const char* caption;  // as the title bar shows it, leading space included
    int width, height;    // client area
    std::span<const Control> controls;
};

// Every font of both windows is this family ("ＭＳ Ｐゴシック"), at pixel sizes.
inline constexpr const char* kFontFamily = "ＭＳ Ｐゴシック";
// The help canvas's font: regular, 15 pixels (11.25 points), printed one line every 16 pixels.
inline constexpr int kHelpFontPixels = 15;
inline constexpr int kHelpLinePixels = 16;
// The target canvas: a sunken border of 2 pixels around a drawing area of 500 × 500 units.
inline constexpr int kCanvasBorder = 2;
inline constexpr double kCanvasUnits = 500.0;

extern const Window kMainWindow;  // Form1
extern const Window kHelpWindow;  // Form2

// The control of `window` called `name`, or nothing.
[[nodiscard]] const Control* Find(const Window& window, std::string_view name);

// A line of the help text: `indent` ideographic spaces (U+3000), then `text`. Eight start a
// sentence, seven continue one or carry the bullet, one opens a heading; a blank line is 0, "".
struct HelpLine {
    int indent;
    const char* text;
};

// The help text, top to bottom: 25 lines.
[[nodiscard]] std::span<const HelpLine> HelpLines();

}  // namespace mokopera::layout
