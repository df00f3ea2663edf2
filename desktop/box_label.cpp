#include "desktop/box_label.h"

#include <QPainter>
#include <QTextLayout>

namespace mokopera {

BoxLabel::BoxLabel(const QString& text, QColor boxColour, QWidget* parent) : QLabel(text, parent), boxColour_(boxColour)
{
    setContentsMargins(1, 1, 1, 1);  // room for the box
    setAutoFillBackground(true);
}

void BoxLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::WindowText));
    if (wordWrap())
        DrawWrapped(painter, contentsRect());
    else
        painter.drawText(contentsRect(), Qt::AlignCenter, text());
    painter.setPen(boxColour_);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void BoxLabel::DrawWrapped(QPainter& painter, const QRect& area) const
{
    QTextLayout layout(text(), font());
    QTextOption option(Qt::AlignHCenter);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    const int pitch = font().pixelSize() > 0 ? font().pixelSize() : QFontMetrics(font()).height();
    int lines = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(area.width());
        line.setPosition(QPointF(0, lines++ * pitch));
    }
    layout.endLayout();
    const int top = area.top() + std::max(0, (area.height() - lines * pitch) / 2);
    layout.draw(&painter, QPointF(area.left(), top));
}

}  // namespace mokopera
