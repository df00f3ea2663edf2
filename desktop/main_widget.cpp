#include "desktop/main_widget.h"

#include <QAccessible>
#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "desktop/app_icon.h"
#include "desktop/target_canvas.h"
#include "desktop/window_builder.h"
#include "program/program.h"
#include "simulation/rules.h"

namespace mokopera {

MainWidget::MainWidget(Program& program, double scale) : program_(program)
{
    BuildWindow(*this, layout::kMainWindow, scale);
    setWindowIcon(AppIcon());
    canvas_ = findChild<TargetCanvas*>("Picture1");
    for (Command command : kCommands) {
        QPushButton*& button = buttons_[static_cast<std::size_t>(command)];
        button = findChild<QPushButton*>(CommandName(command));
        connect(button, &QPushButton::clicked, this, [this, command] { program_.Click(command); });
    }
    announcer_ = new QLabel(this);
    announcer_->setObjectName("Announcer");
    announcer_->hide();
    for (ValueLabel label : kValueLabels)
        valueLabels_[Index(label)] = findChild<QLabel*>(ValueLabelName(label));
    timer_ = new QTimer(this);
    timer_->setObjectName("Timer1");
    timer_->setInterval(rules::kTimerIntervalMs);
    timer_->setTimerType(Qt::PreciseTimer);
    connect(timer_, &QTimer::timeout, this, [this] { program_.Tick(); });
}

MainWidget::~MainWidget() = default;

void MainWidget::SetCommandEnabled(Command command, bool enabled)
{
    buttons_[static_cast<std::size_t>(command)]->setEnabled(enabled);
}

void MainWidget::SetLabelText(ValueLabel label, const std::string& text)
{
    valueLabels_[Index(label)]->setText(QString::fromStdString(text));
}

void MainWidget::SetVerdictColour(ConsoleColour colour)
{
    QLabel* verdict = valueLabels_[Index(ValueLabel::Label9)];
    QPalette palette = verdict->palette();
    palette.setColor(QPalette::WindowText, ConsoleColourOf(colour));
    verdict->setPalette(palette);
}

void MainWidget::ClearCanvas()
{
    canvas_->Clear();
}

void MainWidget::SetPoint(float x, float y)
{
    canvas_->SetPoint(x, y);
}

void MainWidget::TargetDrawn()
{
    canvas_->RingDone();
}

void MainWidget::DrawMark(float x, float y, ConsoleColour colour)
{
    canvas_->DrawMark(x, y, colour);
}

void MainWidget::SetBusyPointer(bool busy)
{
    setCursor(busy ? Qt::WaitCursor : Qt::ArrowCursor);
}

// Screen readers hear the text through the accessibility bus (AT-SPI on Linux): the announcer's
// name changes, and an alert says so.
void MainWidget::Announce(const std::string& text)
{
    announcer_->setAccessibleName(QString::fromStdString(text));
    QAccessibleEvent changed(announcer_, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
    QAccessibleEvent alert(announcer_, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

QString MainWidget::Announced() const
{
    return announcer_->accessibleName();
}

void MainWidget::SetTimerRunning(bool running)
{
    if (running)
        timer_->start();
    else
        timer_->stop();
}

// The window is active once the event loop has shown it (this needs no window manager); the
// program runs its activation the first time only.
void MainWidget::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    QTimer::singleShot(0, this, [this] { program_.MainViewActivated(); });
}

// The window system's close box ends the program without a question or a cue.
void MainWidget::closeEvent(QCloseEvent* event)
{
    event->accept();
    program_.ClosedByWindowSystem();
}

}  // namespace mokopera
