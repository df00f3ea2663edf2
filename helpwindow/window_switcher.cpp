#include "helpwindow/window_switcher.h"

namespace mokopera {

WindowSwitcher::WindowSwitcher(Services services) : services_(std::move(services)) {}

WindowSwitcher::~WindowSwitcher()
{
    delete main_;
    delete help_;
}

void WindowSwitcher::ShowMainWindow()
{
    main_ = new MainWindow({services_.random, services_.clock, services_.dialogs, services_.media,
                            services_.cueFiles, *this});
    services_.dialogOwnerChanged(main_);
    main_->show();
}

void WindowSwitcher::OpenHelp()
{
    // Called from the main window's own handler: hide it now, destroy it once the handler is done.
    if (main_) {
        main_->hide();
        main_->deleteLater();
        main_ = nullptr;
    }
    help_ = new HelpWindow;
    connect(help_, &HelpWindow::closeClicked, this, &WindowSwitcher::CloseHelp);
    connect(help_, &HelpWindow::closedBySystem, this, &WindowSwitcher::EndProgram);
    services_.dialogOwnerChanged(help_);
    help_->show();
}

void WindowSwitcher::CloseHelp()
{
    if (help_) {
        help_->hide();
        help_->deleteLater();
        help_ = nullptr;
    }
    ShowMainWindow();
}

void WindowSwitcher::EndProgram()
{
    if (main_)
        main_->hide();
    if (help_)
        help_->hide();
    services_.endProgram();
}

}  // namespace mokopera
