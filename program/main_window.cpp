#include "program/main_window.h"

#include "program/texts.h"
#include "simulation/entry.h"
#include "simulation/shot_step.h"
#include "simulation/target.h"
#include "simulation/theory.h"

namespace mokopera {

MainWindowLogic::MainWindowLogic(MainView& view, ExperimentState& state, const Services& services)
    : view_(view), state_(state), services_(services), device_(services.media)
{
    LoadSequence(state_);
}

void MainWindowLogic::SetEnabled(Command command, bool enabled)
{
    enabled_[Index(command)] = enabled;
    view_.SetCommandEnabled(command, enabled);
}

// Auto stop (manual) or Auto start: every button in its order, then the timer.
void MainWindowLogic::SetManualFiring(bool manual)
{
    SetEnabled(Command::Fire, manual);
    SetEnabled(Command::AutoStart, manual);
    SetEnabled(Command::AutoStop, !manual);
    SetEnabled(Command::Quit, manual);
    SetEnabled(Command::Reset, manual);
    SetEnabled(Command::Help, manual);
    timerRunning_ = !manual;
    view_.SetTimerRunning(timerRunning_);
}

Next MainWindowLogic::ActivateSequence()
{
    if (activated_)
        return Next::Stay;
    activated_ = true;
    PrepareSeries(false);
    return Next::Stay;
}

// What activation and Reset end with: Auto stop and Reset off, the target, the entry of N; the
// theory follows the accepted entry.
void MainWindowLogic::PrepareSeries(bool reset)
{
    resetting_ = reset;
    SetEnabled(Command::AutoStop, false);
    SetEnabled(Command::Reset, false);
    DrawTarget(state_, view_);
    view_.TargetDrawn();
    AskShotsPerExperiment();
}

void MainWindowLogic::AskShotsPerExperiment()
{
    question_ = Question::Entry;
    services_.dialogs.AskEntry(texts::kShotsPrompt, texts::kShotsTitle, services_.offered,
                               {{texts::kOk, texts::kCancel}, 0, false});
}

Next MainWindowLogic::OnEntry(const std::optional<std::string>& text)
{
    if (question_ != Question::Entry)
        return Next::Stay;
    question_ = Question::None;
    state_.EnteredText = text.value_or("");
    const EntryOutcome outcome = ValidateShotsEntry(state_.EnteredText);
    if (outcome.Kind == EntryKind::Rejected) {
        AskShotsPerExperiment();  // no explanation, and the same N is offered again ("20", or a lesson's)
    } else if (outcome.Kind == EntryKind::Empty) {
        question_ = Question::EntryQuit;
        services_.dialogs.AskYesNo(texts::kQuitPrompt, texts::kEntryQuitTitle, {{texts::kYes, texts::kNo}});
    } else {
        state_.ShotsPerExperiment = outcome.Value;
        if (services_.series)
            services_.series->Begin(outcome.Value);
        if (services_.predictions) {  // the theory waits for the student's guess
            question_ = Question::Prediction;
            services_.predictions->AskPrediction(PredictionQuestion(outcome.Value), texts::kPredictionTitle,
                                                 {{texts::kOk, texts::kDontKnow}, 0, true});
        } else {
            ShowTheory();
        }
    }
    return Next::Stay;
}

Next MainWindowLogic::OnPrediction(const Prediction& prediction)
{
    if (question_ != Question::Prediction)
        return Next::Stay;
    question_ = Question::None;
    if (services_.series)
        services_.series->Predict(prediction);
    ShowTheory();
    return Next::Stay;
}

// The end of an accepted entry: the theory in Label15, and the arrow pointer after Reset.
void MainWindowLogic::ShowTheory()
{
    const std::string theory = ComputeTheory(state_).text;
    view_.SetLabelText(ValueLabel::Label15, theory);
    view_.Announce(std::string(texts::kTheoryCaption) + " " + theory);
    if (resetting_)
        view_.SetBusyPointer(false);
}

Next MainWindowLogic::OnYesNo(bool yes)
{
    if (question_ != Question::EntryQuit && question_ != Question::Quit)
        return Next::Stay;
    const bool entry = question_ == Question::EntryQuit;
    question_ = Question::None;
    state_.Answer = yes ? kAnswerYes : kAnswerNo;
    if (yes)
        return Next::End;  // nothing more of the sequence runs: no theory, no arrow pointer
    if (entry)
        AskShotsPerExperiment();
    return Next::Stay;  // Quit answered No changes nothing, and its cue plays on
}

Next MainWindowLogic::OnNoticeClosed()
{
    if (question_ == Question::Notice)
        question_ = Question::None;
    return Next::Stay;
}

Next MainWindowLogic::Click(Command command)
{
    if (!CommandName(command) || !Enabled(command) || question_ != Question::None)
        return Next::Stay;
    switch (command) {
    case Command::Fire:
        SetEnabled(Command::Reset, true);
        RunShot();
        break;
    case Command::AutoStart:
        SetManualFiring(false);  // the first shot comes with the first tick
        break;
    case Command::AutoStop:
        SetManualFiring(true);
        break;
    case Command::Quit:
        mokopera::PlayCue(device_, texts::kQuitCue);
        question_ = Question::Quit;
        services_.dialogs.AskYesNo(texts::kQuitPrompt, texts::kWindowTitle, {{texts::kYes, texts::kNo}});
        break;
    case Command::Reset:
        ResetSequence();
        break;
    case Command::Help:
        mokopera::PlayCue(device_, texts::kButtonCue);
        return Next::OpenHelp;
    }
    return Next::Stay;
}

void MainWindowLogic::ResetSequence()
{
    view_.SetBusyPointer(true);
    mokopera::PlayCue(device_, texts::kButtonCue);
    view_.ClearCanvas();
    for (ValueLabel label : kValueLabels)
        view_.SetLabelText(label, "");
    LoadSequence(state_);
    limitReached_ = false;
    PrepareSeries(true);
}

Next MainWindowLogic::Tick()
{
    if (timerRunning_ && question_ == Question::None)
        RunShot();
    return Next::Stay;
}

void MainWindowLogic::RunShot()
{
    const ShotResult shot = limitReached_ ? ShotResult{StepResult::CounterOverflow}
                                          : ShotStep(state_, services_.random, services_.clock, view_, *this);
    if (services_.series)
        services_.series->Record(state_);
    if (shot.result == StepResult::Completed) {
        if (shot.verdict)
            view_.Announce(std::string(shot.verdict) + "。" + texts::kExperimentsCaption + " " +
                           ExperimentsText(state_) + "、" + texts::kRateCaption + " " + RateText(state_));
        return;
    }
    limitReached_ = true;
    TellExperimentLimit();
}

// The experiment counter is full: firing stops, the results stay on screen, and the user is told
// that Reset starts a new series. A further shot only repeats the message.
void MainWindowLogic::TellExperimentLimit()
{
    if (timerRunning_)
        SetManualFiring(true);
    question_ = Question::Notice;
    services_.dialogs.ShowNotice(texts::kLimitReached, texts::kWindowTitle, {{texts::kOk}});
}

void MainWindowLogic::PlayVerdictCue(const std::string& waveFile)
{
    mokopera::PlayVerdictCue(device_, waveFile);
}

}  // namespace mokopera
