#include "desktop/qt_screens.h"

#include <QGuiApplication>
#include <QScreen>

#include "desktop/window_builder.h"

#include "program/program.h"

namespace mokopera {

namespace {

QString Text(const std::string& utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

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

QtScreens::QtScreens(std::function<void()> leave) : leave_(std::move(leave)) {}

QtScreens::~QtScreens()
{
    delete box_;
    delete main_;
    delete help_;
}

MainView& QtScreens::LoadMainView()
{
    main_ = new MainWidget(*program_, FittingScale(layout::kMainWindow, QGuiApplication::primaryScreen()));
    ShowCentred(main_);
    return *main_;
}

void QtScreens::UnloadMainView()
{
    Unload(main_);
}

HelpView& QtScreens::LoadHelpView()
{
    help_ = new HelpWidget(*program_, FittingScale(layout::kHelpWindow, QGuiApplication::primaryScreen()));
    ShowCentred(help_);
    return *help_;
}

void QtScreens::UnloadHelpView()
{
    Unload(help_);
}

void QtScreens::EndProgram()
{
    if (box_)
        box_->disconnect(this);
    Unload(box_);
    Unload(main_);
    Unload(help_);
    leave_();
}

QWidget* QtScreens::Owner() const
{
    return main_ ? static_cast<QWidget*>(main_) : static_cast<QWidget*>(help_);
}

void QtScreens::Open(PromptBox* box, std::function<void(const PromptBox&)> answer)
{
    box_ = box;
    connect(box, &QDialog::finished, this, [this, box, answer = std::move(answer)] {
        box_ = nullptr;
        box->deleteLater();
        answer(*box);
    });
    box->show();
}

void QtScreens::AskEntry(const std::string& prompt, const std::string& title, const std::string& offered,
                         const Buttons& buttons)
{
    const QString text = Text(offered);
    auto* box = new PromptBox(Owner(), Text(title), Text(prompt), buttons, &text);
    box->setObjectName("InputBox");
    // Cancel, Escape and the close box all give no text.
    Open(box, [this, yes = int(buttons.yes)](const PromptBox& closed) {
        program_->OnEntry(closed.Answer() == yes ? std::optional(closed.Text().toStdString()) : std::nullopt);
    });
}

void QtScreens::AskYesNo(const std::string& prompt, const std::string& title, const Buttons& buttons)
{
    auto* box = new PromptBox(Owner(), Text(title), Text(prompt), buttons);
    box->setObjectName("YesNoBox");
    Open(box, [this, yes = int(buttons.yes)](const PromptBox& closed) { program_->OnYesNo(closed.Answer() == yes); });
}

void QtScreens::ShowNotice(const std::string& text, const std::string& title, const Buttons& buttons)
{
    auto* box = new PromptBox(Owner(), Text(title), Text(text), buttons);
    box->setObjectName("NoticeBox");
    Open(box, [this](const PromptBox&) { program_->OnNoticeClosed(); });
}

}  // namespace mokopera
