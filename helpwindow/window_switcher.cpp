#include "helpwindow/window_switcher.h"

#include <QScreen>

namespace mokopera {

namespace {
// Hides a window now and destroys it once the handler that asked has returned. From this moment
// it takes no input: a click that was already on its way (a quick double or triple click) does
// nothing, instead of running its handler a second time.
template <typename Window>
void Unload(QPointer<Window>& window)
{
    if (window) {
        window->setEnabled(false);
        window->hide();
        window->deleteLater();
        window = nullptr;
    }
}

// Each window opens in the middle of the screen, so that its dialogs, centred on it, are there
// too, whether or not a window manager has placed the window yet.
void ShowCentred(QWidget* window)
{
    QRect frame(QPoint(), window->size());
    frame.moveCenter(window->screen()->availableGeometry().center());
    window->move(frame.topLeft());
    window->show();
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
    ShowCentred(main_);
}

void WindowSwitcher::OpenHelp()
{
    Unload(main_);  // called from the main window's own handler
    help_ = new HelpWindow;
    connect(help_, &HelpWindow::closeClicked, this, &WindowSwitcher::CloseHelp);
    connect(help_, &HelpWindow::closedBySystem, this, &WindowSwitcher::EndProgram);
    services_.dialogOwnerChanged(help_);
    ShowCentred(help_);
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
