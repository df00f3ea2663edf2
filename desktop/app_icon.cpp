#include "desktop/app_icon.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace mokopera {

QIcon AppIcon()
{
    QSvgRenderer renderer(QStringLiteral(":/mokopera/mokopera.svg"));
    QIcon icon;
    for (int size : {32, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace mokopera
