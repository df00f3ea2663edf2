#include "desktop/text_canvas.h"

#include <QPaintEvent>
#include <QPainter>

#include "program/layout.h"

namespace mokopera {

namespace {
constexpr int kFrame = layout::kCanvasBorder;
}

TextCanvas::TextCanvas(double scale, QWidget* parent) : QFrame(parent), scale_(scale)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(kFrame);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TextCanvas::Clear()
{
    const qreal ratio = std::max<qreal>(1.0, devicePixelRatioF());
    image_ = QImage(contentsRect().size() * ratio, QImage::Format_RGB32);
    image_.setDevicePixelRatio(ratio);
    image_.fill(Qt::white);
    printed_.clear();
    printY_ = 0;
    update();
}

qreal TextCanvas::IndentWidth(int indent) const
{
    return QFontMetricsF(font()).horizontalAdvance(QString(indent, QChar(0x3000)));
}

qreal TextCanvas::FitScale(int indent, const QString& text) const
{
    const qreal width = QFontMetricsF(font()).horizontalAdvance(text);
    const qreal room = contentsRect().width() - IndentWidth(indent);
    return width > room ? room / width : 1.0;
}

void TextCanvas::PrintLine(int indent, const QString& text)
{
    const QFontMetrics metrics(font());
    if (!text.isEmpty() && !image_.isNull()) {
        QPainter painter(&image_);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setFont(font());
        painter.setPen(palette().color(QPalette::WindowText));
        painter.translate(IndentWidth(indent), 0);
        painter.scale(FitScale(indent, text), 1.0);
        painter.drawText(QPointF(0, printY_ + metrics.ascent()), text);
    }
    printed_ << QString(indent, QChar(0x3000)) + text;
    printY_ += layout::kHelpLinePixels * scale_;
    update();
}

void TextCanvas::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(contentsRect(), Qt::white);
    if (!image_.isNull())
        painter.drawImage(contentsRect().topLeft(), image_);
    painter.end();
    QFrame::paintEvent(event);
}

}  // namespace mokopera
