#include "desktop/help_widget.h"

#include <QCloseEvent>
#include <QPushButton>
#include <QTimer>

#include "desktop/window_builder.h"
#include "program/program.h"

namespace mokopera {

HelpWidget::HelpWidget(Program& program, double scale) : program_(program)
{
    BuildWindow(*this, layout::kHelpWindow, scale);
    canvas_ = findChild<TextCanvas*>("Picture1");
    auto* close = findChild<QPushButton*>("Command1");
    close->setFocus();
    connect(close, &QPushButton::clicked, this, [this] { program_.CloseHelp(); });
}

void HelpWidget::ClearText()
{
    canvas_->Clear();
}

void HelpWidget::PrintLine(int indent, const std::string& text)
{
    canvas_->PrintLine(indent, QString::fromStdString(text));
}

// The program prints the text each time the window is shown, once the event loop has shown it.
void HelpWidget::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    QTimer::singleShot(0, this, [this] { program_.HelpViewActivated(); });
}

// The window system's close box ends the program, as no other window is open.
void HelpWidget::closeEvent(QCloseEvent* event)
{
    event->accept();
    program_.ClosedByWindowSystem();
}

}  // namespace mokopera
