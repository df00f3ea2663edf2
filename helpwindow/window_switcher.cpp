#include "helpwindow/window_switcher.h"

namespace mokopera {

namespace {
// Hides a window now and destroys it once the handler that asked has returned.
template <typename Window>
void Unload(QPointer<Window>& window)
{
    if (window) {
        window->hide();
        window->deleteLater();
        window = nullptr;
    }
}
}  // namespace

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
    Unload(main_);  // called from the main window's own handler
    help_ = new HelpWindow;
    connect(help_, &HelpWindow::closeClicked, this, &WindowSwitcher::CloseHelp);
    connect(help_, &HelpWindow::closedBySystem, this, &WindowSwitcher::EndProgram);
    services_.dialogOwnerChanged(help_);
    help_->show();
}

void WindowSwitcher::CloseHelp()
{
    Unload(help_);
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
