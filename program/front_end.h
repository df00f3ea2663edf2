#pragma once

#include <array>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "simulation/effects.h"
#include "simulation/target.h"

// What the program asks of a front end (a desktop window toolkit, a web page), and nothing more.
// The program calls these and never reads anything back; the front end answers the user's
// actions and the dialogs through the Program's own functions (program/program.h).
namespace mokopera {

// The six buttons of the main window, Command1 to Command6, in this order.
enum class Command { Fire, AutoStart, AutoStop, Quit, Reset, Help };
inline constexpr int kCommandCount = static_cast<int>(Command::Help) + 1;

// Every command, in order, and the enabled states of a main window as loaded: every button on.
inline constexpr auto kCommands = [] {
    std::array<Command, kCommandCount> all{};
    for (int i = 0; i < kCommandCount; ++i)
        all[static_cast<std::size_t>(i)] = static_cast<Command>(i);
    return all;
}();
inline constexpr auto kAllEnabled = [] {
    std::array<bool, kCommandCount> all{};
    all.fill(true);
    return all;
}();

// The button's name in the window's layout: "Command1" for Command::Fire, and so on; nullptr for
// a value that is no command.
constexpr const char* CommandName(Command command)
{
    constexpr const char* kNames[] = {"Command1", "Command2", "Command3", "Command4", "Command5", "Command6"};
    static_assert(std::size(kNames) == kCommandCount);
    const auto index = static_cast<std::size_t>(command);
    return index < std::size(kNames) ? kNames[index] : nullptr;
}

// The main window Form1, as loaded from its layout: value labels empty, the canvas blank, every
// button enabled, Timer1 stopped. A shot's effects (labels, the target, the marks) go to it
// directly; the rest are the window's own.
class MainView : public ShotEffects {
public:
    virtual void SetCommandEnabled(Command command, bool enabled) = 0;
    virtual void SetBusyPointer(bool busy) = 0;
    // Timer1: while it runs, the front end calls Program::Tick every 100 ms (see NextTickDue).
    virtual void SetTimerRunning(bool running) = 0;
    // What a screen reader should say now, besides what the labels show: the verdict with the
    // experiments and the rate, or the theory once it is shown.
    virtual void Announce(const std::string& text) = 0;
};

// Timer1's rule, in milliseconds: when the tick after one that was due at `due` and came at `now`
// is due. Ticks keep to the grid of `interval`; a tick that comes a whole interval late or more
// (the machine or a hidden browser tab was held up) fires once, and the timer goes on from then
// instead of making up every tick it missed in a burst. Qt's precise timers follow the same rule.
[[nodiscard]] constexpr double NextTickDue(double due, double now, double interval)
{
    return due + interval > now ? due + interval : now + interval;
}

// The help window Form2's text canvas.
class HelpView {
public:
    virtual ~HelpView() = default;
    // Erases the text and puts the print position back at the top left.
    virtual void ClearText() = 0;
    // One line at the print position, without wrapping, then a line break: `indent` ideographic
    // spaces (U+3000) at their full width, then `text`. A blank line is 0 and the empty text.
    virtual void PrintLine(int indent, const std::string& text) = 0;
};

// The windows on the screen. At most one of the two windows exists at a time.
class Screens {
public:
    virtual ~Screens() = default;
    // A fresh main window from its layout, shown. Once it is shown and active, the front end
    // calls Program::MainViewActivated (once).
    virtual MainView& LoadMainView() = 0;
    // The main window is destroyed with everything it shows; it takes no input from now on.
    virtual void UnloadMainView() = 0;
    // A fresh help window, shown; then the front end calls Program::HelpViewActivated.
    virtual HelpView& LoadHelpView() = 0;
    virtual void UnloadHelpView() = 0;
    // Every window and dialog closes at once; the program takes no more calls.
    virtual void EndProgram() = 0;
};

// The modal dialogs, asked for now and answered later: one is open at a time, and while it is
// open the windows take no input. `buttons` are the words of the box's buttons, in their order:
// `buttons.yes` is the default (Enter), the last answers Escape and the close box.
class Dialogs {
public:
    // A box's buttons as the program words and arranges them: their words in order, the one that
    // answers OK or Yes (Enter presses it; Escape and the close box press the last), and whether
    // the row stands in the middle or, as in the input box, at the right.
    struct Buttons {
        std::vector<std::string> words;
        std::size_t yes = 0;
        bool centred = true;
    };
    virtual ~Dialogs() = default;
    // An input box with OK and Cancel, its field holding `offered`, selected. Answered with
    // Program::OnEntry: the text on OK, nothing on Cancel or the close box.
    virtual void AskEntry(const std::string& prompt, const std::string& title, const std::string& offered,
                          const Buttons& buttons) = 0;
    // A box with Yes (the default) and No only, no icon. Answered with Program::OnYesNo.
    virtual void AskYesNo(const std::string& prompt, const std::string& title, const Buttons& buttons) = 0;
    // A message with an OK button. Answered with Program::OnNoticeClosed.
    virtual void ShowNotice(const std::string& text, const std::string& title, const Buttons& buttons) = 0;
};

// The question a lesson with predictions asks after each accepted entry of N, modal like the
// others: a whole percentage from 0 to 100 (a slider with a field beside it) on OK, or
// 「わからない」, its second button, which Escape and the close box press too. Answered with
// Program::OnPrediction. A front end that never runs such a lesson (the desktop) has none.
class PredictionDialog {
public:
    virtual ~PredictionDialog() = default;
    virtual void AskPrediction(const std::string& question, const std::string& title,
                               const Dialogs::Buttons& buttons) = 0;
};

// The sound output behind the device control: one per program, so a cue started just before the
// main window goes away still plays to its end.
class MediaDevice {
public:
    virtual ~MediaDevice() = default;
    // Prepares the cue called `name` (a bare wave-file name) for playing; false when there is
    // no such cue or it cannot be played.
    virtual bool Open(const std::string& name) = 0;
    // Plays the opened cue once from its beginning, cutting off whatever was playing.
    virtual void Play() = 0;
    virtual void Stop() = 0;
    // Forgets the opened cue; stops it if it is playing.
    virtual void Close() = 0;
};

}  // namespace mokopera
