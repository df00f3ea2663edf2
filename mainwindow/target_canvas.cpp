#include "mainwindow/target_canvas.h"

#include <QPainter>
#include <QPaintEvent>
#include <cmath>

namespace mokopera {

namespace {
constexpr double kScaleX = TargetCanvas::kAreaWidth / TargetCanvas::kUnits;
constexpr double kScaleY = TargetCanvas::kAreaHeight / TargetCanvas::kUnits;
constexpr int kFrame = 2;
}  // namespace

QColor ColourOf(ConsoleColour colour)
{
    return colour == ConsoleColour::LightBlue ? QColor(0, 0, 255) : QColor(255, 0, 0);
}

TargetCanvas::TargetCanvas(QWidget* parent) : QFrame(parent)
{
    setObjectName("Picture1");
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(kFrame);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    const qreal ratio = std::max<qreal>(1.0, devicePixelRatioF());
    image_ = QImage(QSize(kAreaWidth, kAreaHeight) * ratio, QImage::Format_RGB32);
    image_.setDevicePixelRatio(ratio);
    foreground_ = Foreground().rgb();
    image_.fill(Background());
}

QColor TargetCanvas::Background() const
{
    return palette().color(QPalette::Button);
}

QColor TargetCanvas::Foreground() const
{
    return palette().color(QPalette::ButtonText);
}

QPoint TargetCanvas::ToPixel(double x, double y)
{
    return {static_cast<int>(std::floor(x * kScaleX)), static_cast<int>(std::floor(y * kScaleY))};
}

void TargetCanvas::Clear()
{
    image_.fill(Background());
    update();
}

void TargetCanvas::SetPoint(float x, float y)
{
    const qreal ratio = image_.devicePixelRatio();
    const int px = static_cast<int>(std::floor(x * kScaleX * ratio));
    const int py = static_cast<int>(std::floor(y * kScaleY * ratio));
    const int size = static_cast<int>(std::ceil(ratio));
    for (int dy = 0; dy < size; ++dy) {
        const int row = py + dy;
        if (row < 0 || row >= image_.height())
            continue;
        auto* line = reinterpret_cast<QRgb*>(image_.scanLine(row));
        for (int dx = 0; dx < size; ++dx)
            if (px + dx >= 0 && px + dx < image_.width())
                line[px + dx] = foreground_;
    }
    pendingDirty_ |= QRect(ToPixel(x, y), QSize(1, 1));
}

void TargetCanvas::DrawTargetRing(ExperimentState& state)
{
    DrawTarget(state, *this);
    Repaint(pendingDirty_);
    pendingDirty_ = QRect();
}

// A round dot on any screen: the outline is antialiased and drawn on the image's own device
// pixels, so a mark looks the same wherever its fractional centre falls.
void TargetCanvas::DrawMark(float x, float y, ConsoleColour colour)
{
    const double radius = 2.0 * kScaleX;  // the circle's radius follows the x units
    const QPointF centre(x * kScaleX, y * kScaleY);
    {
        QPainter painter(&image_);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(ColourOf(colour), 1.0));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(centre, radius, radius);
    }
    Repaint(QRectF(centre - QPointF(radius + 2, radius + 2), QSizeF(2 * radius + 4, 2 * radius + 4)).toAlignedRect());
}

void TargetCanvas::Repaint(const QRect& areaRect)
{
    if (!areaRect.isEmpty())
        update(areaRect.translated(kFrame, kFrame));
}

void TargetCanvas::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRect area = contentsRect();
    const QRect dirty = event->rect().intersected(area);
    if (!dirty.isEmpty()) {
        const QRect source = dirty.translated(-area.topLeft());
        const qreal ratio = image_.devicePixelRatio();
        painter.drawImage(dirty, image_,
                          QRectF(source.x() * ratio, source.y() * ratio, source.width() * ratio,
                                 source.height() * ratio));
    }
    painter.end();
    QFrame::paintEvent(event);  // the sunken frame on top
}

}  // namespace mokopera
