#pragma once

#include <memory>
#include <optional>
#include <string>

#include "classroom/lesson.h"
#include "program/front_end.h"
#include "program/main_window.h"
#include "simulation/clock.h"
#include "simulation/experiment_state.h"
#include "simulation/random_source.h"

namespace mokopera {

// The whole program, apart from any window toolkit: which of its two windows is up, what each
// of them does, and the end. A front end carries out what it asks (front_end.h) and reports
// the user's actions through the functions below, one at a time and never from inside one of
// the program's own requests. Calls that do not fit the moment (a second click on a window that
// is going away, a tick after the timer stopped, a reply to no question, anything after the
// end) do nothing.
class Program {
public:
    struct Platform {
        Screens& screens;
        Dialogs& dialogs;
        MediaDevice& media;
        RandomSource& random;
        Clock& clock;
        PredictionDialog* predictions = nullptr;  // where the front end can ask for predictions
    };

    // `record` is the run's record, the caller's for as long as the program lives: each main
    // window's load zeroes its counters and keeps N, the entered text and the last answer.
    // `series`, where given, is the caller's log of the run's series, which may outlive the
    // program (the web page's, for 結果を送る); the desktop program keeps none.
    Program(const Platform& platform, ExperimentState& record, SeriesLog* series = nullptr);
    ~Program();

    // Loads the main window.
    void Start();
    // The main window has been shown and is active: its activate sequence, once per load.
    void MainViewActivated();
    // The help window has been shown and is active: it prints its text (again, never doubled).
    void HelpViewActivated();

    void Click(Command command);  // a button of the main window; a value that is no command does nothing
    void Tick();                  // Timer1, every 100 ms while it runs
    void CloseHelp();             // the help window's 閉じる: back to a fresh main window
    void ClosedByWindowSystem();  // the window system closed a window: the end, without a question

    void OnEntry(const std::optional<std::string>& text);  // the input box: its text, nothing on Cancel
    void OnYesNo(bool yes);
    void OnNoticeClosed();
    void OnPrediction(const Prediction& prediction);  // the prediction question's answer

    [[nodiscard]] bool Ended() const { return ended_; }

    // A lesson link's options from the next main window on: its N for the entry box to offer
    // instead of "20" (no N offers "20" again), and whether each entry asks for a prediction
    // (where the front end can ask).
    void FollowLesson(const LessonOptions& lesson);

private:
    void Follow(Next next);
    void OpenHelp();
    void LoadMainWindow();

    Platform platform_;
    ExperimentState& state_;
    SeriesLog* series_;
    std::string offered_;
    bool predict_ = false;
    std::unique_ptr<MainWindowLogic> main_;  // while the main window is up
    HelpView* help_ = nullptr;               // while the help window is up
    bool ended_ = false;
};

}  // namespace mokopera
