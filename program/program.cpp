#include "program/program.h"

#include "program/layout.h"

namespace mokopera {

Program::Program(const Platform& platform) : platform_(platform) {}

Program::~Program() = default;

void Program::Start()
{
    LoadMainWindow();
}

void Program::LoadMainWindow()
{
    main_ = std::make_unique<MainWindowLogic>(
        platform_.screens.LoadMainView(), state_,
        MainWindowLogic::Services{platform_.dialogs, platform_.media, platform_.random, platform_.clock});
}

void Program::MainViewActivated()
{
    if (main_ && !ended_)
        Follow(main_->Activate());
}

void Program::HelpViewActivated()
{
    if (!help_ || ended_)
        return;
    help_->ClearText();
    for (const std::string& line : layout::HelpLines())
        help_->PrintLine(line);
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

void Program::OnEntry(const std::string& text)
{
    if (main_ && !ended_)
        Follow(main_->OnEntry(text));
}

void Program::OnYesNo(std::int16_t answer)
{
    if (main_ && !ended_)
        Follow(main_->OnYesNo(answer));
}

void Program::OnNoticeClosed()
{
    if (main_ && !ended_)
        Follow(main_->OnNoticeClosed());
}

void Program::CloseHelp()
{
    if (!help_ || ended_)
        return;
    help_ = nullptr;
    platform_.screens.UnloadHelpView();
    LoadMainWindow();
}

void Program::CloseBox()
{
    Follow(Next::End);
}

void Program::Follow(Next next)
{
    if (ended_)
        return;
    if (next == Next::OpenHelp) {
        // The main window goes with everything it showed; the help window is a fresh one.
        main_.reset();
        platform_.screens.UnloadMainView();
        help_ = &platform_.screens.LoadHelpView();
    } else if (next == Next::End) {
        ended_ = true;
        main_.reset();
        help_ = nullptr;
        platform_.screens.EndProgram();
    }
}

}  // namespace mokopera
