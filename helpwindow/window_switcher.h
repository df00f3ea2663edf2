#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

#include "helpwindow/help_window.h"
#include "mainwindow/main_window.h"
#include "mainwindow/navigator.h"

namespace mokopera {

// Keeps exactly one of the two windows on screen: the main window, or the help window in its
// place. Each main window it shows is a fresh one (load, then activation); each help window too.
class WindowSwitcher final : public QObject, public Navigator {
    Q_OBJECT
public:
    struct Services {
        RandomSource& random;
        Clock& clock;
        Dialogs& dialogs;
        MediaDevice& media;
        const CueFileLocator& cueFiles;
        std::function<void(QWidget*)> dialogOwnerChanged;  // the window dialogs belong to now
        std::function<void()> endProgram;                  // leaves the event loop
    };

    explicit WindowSwitcher(Services services);
    ~WindowSwitcher() override;

    // Creates a fresh main window and shows it.
    void ShowMainWindow();
    // Unloads the main window (once its handler has returned) and shows a fresh help window.
    void OpenHelp() override;
    // Unloads the help window and shows a fresh main window.
    void CloseHelp();
    // Hides every window and leaves the event loop; nothing more of the caller may run.
    void EndProgram() override;

    [[nodiscard]] MainWindow* CurrentMainWindow() const { return main_; }
    [[nodiscard]] HelpWindow* CurrentHelpWindow() const { return help_; }

private:
    Services services_;
    QPointer<MainWindow> main_;
    QPointer<HelpWindow> help_;
};

}  // namespace mokopera
