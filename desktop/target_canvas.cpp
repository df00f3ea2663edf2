#include "desktop/target_canvas.h"

#include "desktop/window_builder.h"

#include <QPaintEvent>
#include <QPainter>
#include <cmath>

#include "program/layout.h"

namespace mokopera {

namespace {
constexpr int kFrame = layout::kCanvasBorder;
// Qt's drawing code uses AVX and can return with the upper halves of the vector registers still
// in use. The ring sweep's SSE code, and the maths library's sine and cosine, then pay a state
// transition on every instruction: on some processors that makes the sweep seven times slower
// (1.3 ms instead of 0.16 ms). vzeroupper ends that state; only a processor with AVX has it.
void LeaveWideVectorState()
{
#if defined(__x86_64__) || defined(__i386__)
    static const bool hasAvx = __builtin_cpu_supports("avx");
    if (hasAvx)
        asm volatile("vzeroupper" ::: "memory");
#endif
}

}  // namespace

TargetCanvas::TargetCanvas(QSize area, QWidget* parent)
    : QFrame(parent), scaleX_(area.width() / layout::kCanvasUnits), scaleY_(area.height() / layout::kCanvasUnits)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(kFrame);
    setAttribute(Qt::WA_OpaquePaintEvent);
    const qreal ratio = std::max<qreal>(1.0, devicePixelRatioF());
    image_ = QImage(area * ratio, QImage::Format_RGB32);
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

void TargetCanvas::Clear()
{
    image_.fill(Background());
    update();
}

// Called 6284 times for every ring, so it only writes pixels and widens the dirty area: the
// image's memory, its size and the scale to device pixels are looked up once per ring.
void TargetCanvas::SetPoint(float x, float y)
{
    if (!ring_.pixels)
        BeginRing();
    const int px = static_cast<int>(double(x) * ring_.scaleX);  // never negative: floor
    const int py = static_cast<int>(double(y) * ring_.scaleY);
    if (px < 0 || py < 0 || px > ring_.lastX || py > ring_.lastY)
        return;
    for (int dy = 0; dy < ring_.pointSize; ++dy)
        for (int dx = 0; dx < ring_.pointSize; ++dx)
            ring_.pixels[(py + dy) * ring_.stride + px + dx] = foreground_;
    ring_.left = std::min(ring_.left, px);
    ring_.right = std::max(ring_.right, px);
    ring_.top = std::min(ring_.top, py);
    ring_.bottom = std::max(ring_.bottom, py);
}

void TargetCanvas::BeginRing()
{
    LeaveWideVectorState();
    const qreal ratio = image_.devicePixelRatio();
    ring_ = {};
    ring_.pointSize = static_cast<int>(std::ceil(ratio));
    ring_.pixels = reinterpret_cast<QRgb*>(image_.bits());
    ring_.stride = static_cast<int>(image_.bytesPerLine() / sizeof(QRgb));
    ring_.scaleX = scaleX_ * ratio;
    ring_.scaleY = scaleY_ * ratio;
    ring_.lastX = image_.width() - ring_.pointSize;
    ring_.lastY = image_.height() - ring_.pointSize;
}

void TargetCanvas::RingDone()
{
    if (ring_.right >= ring_.left) {
        const qreal ratio = image_.devicePixelRatio();
        const QRectF device(ring_.left, ring_.top, ring_.right - ring_.left + ring_.pointSize,
                            ring_.bottom - ring_.top + ring_.pointSize);
        Repaint(QRectF(device.topLeft() / ratio, device.size() / ratio).toAlignedRect());
    }
    ring_ = {};
}

// A round dot on any screen: the outline is antialiased and drawn on the image's own device
// pixels, so a mark looks the same wherever its fractional centre falls.
void TargetCanvas::DrawMark(float x, float y, ConsoleColour colour)
{
    const double radius = 2.0 * scaleX_;  // the circle's radius follows the x units
    const QPointF centre(x * scaleX_, y * scaleY_);
    {
        QPainter painter(&image_);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(ConsoleColourOf(colour), 1.0));
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
        painter.drawImage(
            dirty, image_,
            QRectF(source.x() * ratio, source.y() * ratio, source.width() * ratio, source.height() * ratio));
    }
    painter.end();
    QFrame::paintEvent(event);  // the sunken frame on top
}

}  // namespace mokopera
