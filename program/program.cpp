#include "program/program.h"

#include "program/layout.h"
#include "program/texts.h"

namespace mokopera {

Program::Program(const Platform& platform, ExperimentState& record, SeriesLog* series)
    : platform_(platform), state_(record), series_(series), offered_(texts::kOfferedShots)
{
}

void Program::FollowLesson(const LessonOptions& lesson)
{
    offered_ = lesson.shots ? std::to_string(*lesson.shots) : texts::kOfferedShots;
    predict_ = lesson.predict;
}

Program::~Program() = default;

void Program::Start()
{
    LoadMainWindow();
}

void Program::LoadMainWindow()
{
    main_ = std::make_unique<MainWindowLogic>(
        platform_.screens.LoadMainView(), state_,
        MainWindowLogic::Services{platform_.dialogs, platform_.media, platform_.random, platform_.clock, series_,
                                  offered_, predict_ ? platform_.predictions : nullptr});
}

void Program::MainViewActivated()
{
    if (main_ && !ended_)
        Follow(main_->ActivateSequence());
}

void Program::HelpViewActivated()
{
    if (!help_ || ended_)
        return;
    help_->ClearText();
    for (const layout::HelpLine& line : layout::HelpLines())
        help_->PrintLine(line.indent, line.text);
}

void Program::Click(Command command)
{
    if (main_ && !ended_)
        Follow(main_->Click(command));
}

void Program::Tick()
{
    if (main_ && !ended_)
        Follow(main_->Tick());
}

void Program::OnEntry(const std::optional<std::string>& text)
{
    if (main_ && !ended_)
        Follow(main_->OnEntry(text));
}

void Program::OnYesNo(bool yes)
{
    if (main_ && !ended_)
        Follow(main_->OnYesNo(yes));
}

void Program::OnNoticeClosed()
{
    if (main_ && !ended_)
        Follow(main_->OnNoticeClosed());
}

void Program::OnPrediction(const Prediction& prediction)
{
    if (main_ && !ended_)
        Follow(main_->OnPrediction(prediction));
}

void Program::CloseHelp()
{
    if (!help_ || ended_)
        return;
    help_ = nullptr;
    platform_.screens.UnloadHelpView();
    LoadMainWindow();
}

void Program::ClosedByWindowSystem()
{
    Follow(Next::End);
}

// HELP, once the main window has started its cue: the main window goes with everything it
// showed, and the help window is a fresh one.
void Program::OpenHelp()
{
    main_.reset();
    platform_.screens.UnloadMainView();
    help_ = &platform_.screens.LoadHelpView();
}

void Program::Follow(Next next)
{
    if (ended_)
        return;
    if (next == Next::OpenHelp) {
        OpenHelp();
    } else if (next == Next::End) {
        ended_ = true;
        main_.reset();
        help_ = nullptr;
        platform_.screens.EndProgram();
    }
}

}  // namespace mokopera
