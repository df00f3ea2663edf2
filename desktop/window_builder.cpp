#include "desktop/window_builder.h"

#include <QPushButton>
#include <algorithm>
#include <cmath>
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

QWidget* MakeControl(const layout::Control& control, const QRect& place, double scale, QWidget& window)
{
    const QSize area(place.width() - 2 * layout::kCanvasBorder, place.height() - 2 * layout::kCanvasBorder);
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
        return new TextCanvas(scale, &window);
    }
    return nullptr;
}

}  // namespace

double FittingScale(const layout::Window& window, const QScreen* screen)
{
    constexpr int kFrameWidth = 16, kFrameHeight = 48;  // a window manager's borders and title bar
    const QRect room = screen->availableGeometry();
    return std::min(
        {1.0, double(room.width() - kFrameWidth) / window.width, double(room.height() - kFrameHeight) / window.height});
}

void BuildWindow(QWidget& widget, const layout::Window& window, double scale)
{
    // Every edge at its scaled place, so that two boxes that share an edge still share it.
    const auto at = [scale](int pixels) { return static_cast<int>(std::lround(pixels * scale)); };
    widget.setObjectName(window.name);
    widget.setWindowTitle(QString::fromUtf8(window.caption));
    widget.setFixedSize(at(window.width), at(window.height));
    std::vector<std::pair<int, QWidget*>> focusChain;
    for (const layout::Control& control : window.controls) {
        const layout::Rect& pixels = control.pixels;
        const QRect place(QPoint(at(pixels.left), at(pixels.top)),
                          QPoint(at(pixels.left + pixels.width) - 1, at(pixels.top + pixels.height) - 1));
        QWidget* made = MakeControl(control, place, scale, widget);
        made->setObjectName(control.name);
        made->setGeometry(place);
        if (control.fontPixels > 0)
            made->setFont(JapaneseFont(std::max(1, at(control.fontPixels)), control.bold));
        made->setFocusPolicy(control.focusOrder >= 0 ? Qt::StrongFocus : Qt::NoFocus);
        if (control.focusOrder >= 0)
            focusChain.emplace_back(control.focusOrder, made);
    }
    std::sort(focusChain.begin(), focusChain.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 1; i < focusChain.size(); ++i)
        QWidget::setTabOrder(focusChain[i - 1].second, focusChain[i].second);
}

}  // namespace mokopera
