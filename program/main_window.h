#pragma once

#include <array>
#include <optional>
#include <string>

#include "classroom/prediction.h"
#include "classroom/series_log.h"
#include "program/device_control.h"
#include "program/front_end.h"
#include "simulation/clock.h"
#include "simulation/effects.h"
#include "simulation/experiment_state.h"
#include "simulation/random_source.h"

namespace mokopera {

// What the program does next after a main window's handler: stay, go to the help window, or end.
enum class Next { Stay, OpenHelp, End };

// The main window's rules: its commands and their enabled states, automatic firing, the entry of
// the shots per experiment, Quit, the experiment limit, and the load, activate and reset
// sequences, each asking the view for its effects in the order the window shows them. It lives
// from the window's load (constructing it is the load sequence) to its unload.
class MainWindowLogic final : private VerdictCue {
public:
    struct Services {
        Dialogs& dialogs;
        MediaDevice& media;
        RandomSource& random;
        Clock& clock;
        SeriesLog* series;           // told where a series begins and what each shot left, where kept
        const std::string& offered;  // what the entry box offers: "20", or a lesson's N
        // Where given, each accepted entry asks for a prediction before the theory shows.
        PredictionDialog* predictions = nullptr;
    };

    // The load sequence: the counters to zero and the theory product to 1; `state` outlives the
    // window (it keeps N, the entered text and the last answer).
    MainWindowLogic(MainView& view, ExperimentState& state, const Services& services);

    // The activate sequence, once: Auto stop and Reset off, the target, then the entry of N.
    [[nodiscard]] Next ActivateSequence();
    // A click on a button: nothing unless the button is enabled and no dialog is open.
    [[nodiscard]] Next Click(Command command);
    // A tick of Timer1: one shot, unless the timer is stopped or a dialog is open.
    [[nodiscard]] Next Tick();
    // Dialog replies; each is ignored unless that dialog is the one open. No entry is Cancel,
    // which counts as the empty text.
    [[nodiscard]] Next OnEntry(const std::optional<std::string>& text);
    [[nodiscard]] Next OnYesNo(bool yes);
    [[nodiscard]] Next OnNoticeClosed();
    [[nodiscard]] Next OnPrediction(const Prediction& prediction);

    [[nodiscard]] bool Enabled(Command command) const { return enabled_[Index(command)]; }
    [[nodiscard]] bool TimerRunning() const { return timerRunning_; }

private:
    enum class Question { None, Entry, EntryQuit, Quit, Notice, Prediction };

    static std::size_t Index(Command command) { return static_cast<std::size_t>(command); }
    void SetEnabled(Command command, bool enabled);
    void SetManualFiring(bool manual);
    void PrepareSeries(bool reset);
    void AskShotsPerExperiment();
    void ShowTheory();
    void ResetSequence();
    void RunShot();
    void TellExperimentLimit();

    // The shot's verdict cue, on the window's sound device (its other effects go to the view).
    void PlayVerdictCue(const std::string& waveFile) override;

    MainView& view_;
    ExperimentState& state_;
    Services services_;
    DeviceControl device_;  // MMControl1
    std::array<bool, kCommandCount> enabled_ = kAllEnabled;
    bool timerRunning_ = false;
    bool activated_ = false;
    bool resetting_ = false;     // the entry of N belongs to Reset: the pointer goes back after it
    bool limitReached_ = false;  // the experiment counter is full until the next Reset
    Question question_ = Question::None;
};

}  // namespace mokopera
