#include "desktop/window_builder.h"

#include <QPushButton>
#include <algorithm>
#include <vector>

#include "desktop/box_label.h"
#include "desktop/fonts.h"
#include "desktop/target_canvas.h"
#include "desktop/text_canvas.h"

namespace mokopera {

QColor ConsoleColourOf(ConsoleColour colour)
{
    return QColor::fromRgb(ConsoleRgb(colour));
}

QColor PaintColour(layout::Paint paint, const QPalette& palette, bool text)
{
    switch (paint) {
    case layout::Paint::White:
    case layout::Paint::TitlePink:
    case layout::Paint::Black:
        return QColor::fromRgb(layout::PaintRgb(paint));
    case layout::Paint::WindowText:
        return palette.color(QPalette::WindowText);
    case layout::Paint::Default:
        break;
    }
    return palette.color(text ? QPalette::ButtonText : QPalette::Button);
}

namespace {

QWidget* MakeLabel(const layout::Control& control, QWidget& window)
{
    const QString caption = QString::fromUtf8(control.caption);
    QPalette palette = window.palette();
    QLabel* label = nullptr;
    if (control.look == layout::Look::Plain) {
        label = new QLabel(caption, &window);
    } else {
        label = new BoxLabel(caption, palette.color(QPalette::WindowText), &window);
        palette.setColor(QPalette::Window, PaintColour(control.background, palette, false));
    }
    palette.setColor(QPalette::WindowText, PaintColour(control.text, window.palette(), true));
    label->setPalette(palette);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(control.look == layout::Look::Wrapped);
    return label;
}

QWidget* MakeControl(const layout::Control& control, QWidget& window)
{
    const QSize area(control.pixels.width - 2 * layout::kCanvasBorder,
                     control.pixels.height - 2 * layout::kCanvasBorder);
    switch (control.kind) {
    case layout::Kind::Button: {
        auto* button = new QPushButton(QString::fromUtf8(control.caption), &window);
        button->setAutoDefault(false);
        return button;
    }
    case layout::Kind::Label:
        return MakeLabel(control, window);
    case layout::Kind::Line: {
        auto* line = new QFrame(&window);
        line->setFrameStyle(QFrame::HLine | QFrame::Plain);
        return line;
    }
    case layout::Kind::TargetCanvas:
        return new TargetCanvas(area, &window);
    case layout::Kind::TextCanvas:
        return new TextCanvas(&window);
    }
    return nullptr;
}

}  // namespace

void BuildWindow(QWidget& widget, const layout::Window& window)
{
    widget.setObjectName(window.name);
    widget.setWindowTitle(QString::fromUtf8(window.caption));
    widget.setFixedSize(window.width, window.height);
    std::vector<std::pair<int, QWidget*>> focusChain;
    for (const layout::Control& control : window.controls) {
        QWidget* made = MakeControl(control, widget);
        made->setObjectName(control.name);
        made->setGeometry(control.pixels.left, control.pixels.top, control.pixels.width, control.pixels.height);
        if (control.fontPixels > 0)
            made->setFont(JapaneseFont(control.fontPixels, control.bold));
        made->setFocusPolicy(control.focusOrder >= 0 ? Qt::StrongFocus : Qt::NoFocus);
        if (control.focusOrder >= 0)
            focusChain.emplace_back(control.focusOrder, made);
    }
    std::sort(focusChain.begin(), focusChain.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 1; i < focusChain.size(); ++i)
        QWidget::setTabOrder(focusChain[i - 1].second, focusChain[i].second);
}

}  // namespace mokopera
