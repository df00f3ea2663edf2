#include "desktop/text_canvas.h"

#include <QPainter>
#include <QPaintEvent>

#include "program/layout.h"

namespace mokopera {

namespace {
constexpr int kFrame = layout::kCanvasBorder;
}

TextCanvas::TextCanvas(QWidget* parent) : QFrame(parent)
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

namespace {
// The ideographic spaces a line opens with: its indent, part of the layout of the text.
qsizetype IndentOf(const QString& line)
{
    qsizetype spaces = 0;
    while (spaces < line.size() && line[spaces] == QChar(0x3000))
        ++spaces;
    return spaces;
}
}  // namespace

qreal TextCanvas::IndentWidth(const QString& line) const
{
    return QFontMetricsF(font()).horizontalAdvance(line.left(IndentOf(line)));
}

qreal TextCanvas::FitScale(const QString& line) const
{
    const qreal width = QFontMetricsF(font()).horizontalAdvance(line.mid(IndentOf(line)));
    const qreal room = contentsRect().width() - IndentWidth(line);
    return width > room ? room / width : 1.0;
}

void TextCanvas::PrintLine(const QString& line)
{
    const QFontMetrics metrics(font());
    if (!line.isEmpty() && !image_.isNull()) {
        QPainter painter(&image_);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setFont(font());
        painter.setPen(palette().color(QPalette::WindowText));
        painter.translate(IndentWidth(line), 0);
        painter.scale(FitScale(line), 1.0);
        painter.drawText(QPointF(0, printY_ + metrics.ascent()), line.mid(IndentOf(line)));
    }
    printed_ << line;
    printY_ += layout::kHelpLinePixels;
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
