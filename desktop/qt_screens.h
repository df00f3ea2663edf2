#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

#include "desktop/help_widget.h"
#include "desktop/main_widget.h"
#include "desktop/prompt_box.h"
#include "program/front_end.h"

namespace mokopera {

class Program;

// The desktop's windows and dialogs: the main and help windows as the program loads and unloads
// them, each opening centred on the screen, and the program's dialogs as modal boxes that answer
// the program when they close. Nothing here runs a nested event loop, so ending the program
// leaves nothing on the stack.
class QtScreens final : public QObject, public Screens, public Dialogs {
    Q_OBJECT
public:
    // `leave`: what ending does once every window and box is closed (leaving the event loop).
    explicit QtScreens(std::function<void()> leave);
    ~QtScreens() override;
    // The program the windows and boxes report to; set once, before it starts.
    void Attach(Program& program) { program_ = &program; }

    MainView& LoadMainView() override;
    void UnloadMainView() override;
    HelpView& LoadHelpView() override;
    void UnloadHelpView() override;
    void EndProgram() override;

    void AskEntry(const std::string& prompt, const std::string& title, const std::string& offered,
                  const Buttons& buttons) override;
    void AskYesNo(const std::string& prompt, const std::string& title, const Buttons& buttons) override;
    void ShowNotice(const std::string& text, const std::string& title, const Buttons& buttons) override;

    [[nodiscard]] MainWidget* CurrentMainWidget() const { return main_; }
    [[nodiscard]] HelpWidget* CurrentHelpWidget() const { return help_; }
    [[nodiscard]] PromptBox* OpenBox() const { return box_; }

private:
    // Shows `box` modal and calls `answer` with it once it has closed.
    void Open(PromptBox* box, std::function<void(const PromptBox&)> answer);
    [[nodiscard]] QWidget* Owner() const;

    std::function<void()> leave_;
    Program* program_ = nullptr;
    QPointer<MainWidget> main_;
    QPointer<HelpWidget> help_;
    QPointer<PromptBox> box_;
};

}  // namespace mokopera
