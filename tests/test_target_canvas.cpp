// The target canvas's off-screen drawing: units to pixels, the ring, marks, clearing.

#include <QtTest>

#include "core/target.h"
#include "mainwindow/target_canvas.h"

using namespace mokopera;

namespace {

int CountPixels(const QImage& image, QColor colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixelColor(x, y) == colour ? 1 : 0;
    return count;
}

// The device pixel of `image` that holds the canvas point (x, y) in units.
QPoint DevicePixel(const QImage& image, double x, double y)
{
    const qreal ratio = image.devicePixelRatio();
    return {int(std::floor(x * 397 / 500 * ratio)), int(std::floor(y * 373 / 500 * ratio))};
}

}  // namespace

class TestTargetCanvas : public QObject {
    Q_OBJECT

private slots:
    void unitsToPixels_data()
    {
        QTest::addColumn<QPointF>("units");
        QTest::addColumn<QPoint>("pixel");
        QTest::newRow("top left") << QPointF(0, 0) << QPoint(0, 0);
        QTest::newRow("centre") << QPointF(250, 250) << QPoint(198, 186);
        QTest::newRow("just inside bottom right") << QPointF(499.9, 499.9) << QPoint(396, 372);
        QTest::newRow("bottom right corner") << QPointF(500, 500) << QPoint(397, 373);
        QTest::newRow("ring's first point") << QPointF(270, 250) << QPoint(214, 186);
    }

    void unitsToPixels()
    {
        QFETCH(QPointF, units);
        QFETCH(QPoint, pixel);
        QCOMPARE(TargetCanvas::ToPixel(units.x(), units.y()), pixel);
    }

    // The ring is a closed line: every pixel of it has at least two neighbours on it.
    void ringIsClosed()
    {
        TargetCanvas canvas;
        ExperimentState state;
        canvas.DrawTargetRing(state);
        const QImage& image = canvas.Image();
        const QColor ink = canvas.Foreground();
        QVERIFY(image.pixelColor(DevicePixel(image, 270, 250)) == ink);
        QVERIFY(image.pixelColor(DevicePixel(image, 250, 270)) == ink);
        QVERIFY(image.pixelColor(DevicePixel(image, 250, 250)) != ink);  // hollow
        int ringPixels = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixelColor(x, y) != ink)
                    continue;
                ++ringPixels;
                int neighbours = 0;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                        neighbours += (dx || dy) && image.pixelColor(x + dx, y + dy) == ink ? 1 : 0;
                QVERIFY2(neighbours >= 2, qPrintable(QString("loose end at %1,%2").arg(x).arg(y)));
            }
        }
        // A ring of radius 20 units is about 16 by 15 pixels: some 90 pixels around, a line of one
        // pixel, whatever the device pixels of one pixel are.
        const qreal ratio = image.devicePixelRatio();
        QVERIFY(ringPixels > 60 * ratio * ratio && ringPixels < 140 * ratio * ratio);
    }

    void sweepSetsEveryPoint()
    {
        struct Counter : PointCanvas {
            int points = 0;
            QPointF first, last;
            void SetPoint(float x, float y) override
            {
                if (points++ == 0)
                    first = QPointF(x, y);
                last = QPointF(x, y);
            }
        } counter;
        ExperimentState state;
        DrawTarget(state, counter);
        QCOMPARE(counter.points, kTargetPointCount);
        QCOMPARE(counter.first, QPointF(270, 250));
        QVERIFY(std::hypot(counter.last.x() - 270, counter.last.y() - 250) < 0.02);
    }

    void drawingTheTargetTwiceChangesNothing()
    {
        TargetCanvas canvas;
        ExperimentState state;
        canvas.DrawMark(400, 100, ConsoleColour::LightRed);  // away from the ring: stays
        const QImage marked = canvas.Image().copy();
        canvas.DrawTargetRing(state);
        const QImage once = canvas.Image().copy();
        canvas.DrawTargetRing(state);
        QCOMPARE(canvas.Image(), once);
        const QPoint mark = DevicePixel(marked, 400, 100);
        const QRect around(mark - QPoint(8, 8), QSize(17, 17));
        QCOMPARE(once.copy(around), marked.copy(around));
    }

    void clearLeavesOnlyBackground()
    {
        TargetCanvas canvas;
        ExperimentState state;
        canvas.DrawTargetRing(state);
        canvas.DrawMark(250, 250, ConsoleColour::LightBlue);
        canvas.Clear();
        QCOMPARE(CountPixels(canvas.Image(), canvas.Background()), canvas.Image().width() * canvas.Image().height());
    }

    // A mark is a round dot in its colour, centred on its point wherever the point falls between
    // pixels, at any device pixel ratio; at distance 200 straight up, down, left or right it lies
    // wholly inside the drawing area. Each pixel counts by how much of the mark's colour it holds.
    void marks_data()
    {
        QTest::addColumn<QPointF>("centre");
        QTest::addColumn<int>("colour");
        QTest::newRow("hit at the centre") << QPointF(250, 250) << 9;
        QTest::newRow("hit between pixels") << QPointF(251.3, 248.6) << 9;
        QTest::newRow("hit on the ring") << QPointF(270, 250) << 9;
        QTest::newRow("miss 200 right") << QPointF(450, 250) << 12;
        QTest::newRow("miss 200 left") << QPointF(50, 250) << 12;
        QTest::newRow("miss 200 up") << QPointF(250, 50) << 12;
        QTest::newRow("miss 200 down") << QPointF(250, 450) << 12;
        QTest::newRow("miss between pixels") << QPointF(123.45, 377.7) << 12;
    }

    void marks()
    {
        QFETCH(QPointF, centre);
        QFETCH(int, colour);
        TargetCanvas canvas;
        canvas.DrawMark(float(centre.x()), float(centre.y()), static_cast<ConsoleColour>(colour));
        const QImage& image = canvas.Image();
        const qreal ratio = image.devicePixelRatio();
        const QColor background = canvas.Background();

        double total = 0, sumX = 0, sumY = 0, sumXX = 0, sumYY = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor pixel = image.pixelColor(x, y);
                if (pixel == background)
                    continue;
                // The share of the mark's colour in this pixel, from the channel that tells most.
                const bool blue = colour == 9;
                const double share = blue ? double(background.red() - pixel.red()) / background.red()
                                          : double(background.green() - pixel.green()) / background.green();
                QVERIFY2(share > 0, "a pixel of a colour the mark does not have");
                const double cx = (x + 0.5) / ratio, cy = (y + 0.5) / ratio;  // logical pixels
                total += share;
                sumX += share * cx;
                sumY += share * cy;
                sumXX += share * cx * cx;
                sumYY += share * cy * cy;
            }
        }
        const QPointF exact(centre.x() * 397 / 500, centre.y() * 373 / 500);
        const QPointF middle(sumX / total, sumY / total);
        const double spreadX = std::sqrt(sumXX / total - middle.x() * middle.x());
        const double spreadY = std::sqrt(sumYY / total - middle.y() * middle.y());
        const QString figures = QString("centre off by %1, %2; spread %3 by %4; ink %5")
                                    .arg(middle.x() - exact.x()).arg(middle.y() - exact.y())
                                    .arg(spreadX).arg(spreadY).arg(total / (ratio * ratio));
        QVERIFY2(std::abs(middle.x() - exact.x()) < 0.2 && std::abs(middle.y() - exact.y()) < 0.2, qPrintable(figures));
        QVERIFY2(std::abs(spreadX - spreadY) < 0.1 * spreadX, qPrintable(figures));  // round
        // An outline of radius 1.6 px: its ink lies about 1.6 px from its centre, some 10 px of it.
        QVERIFY2(spreadX > 1.0 && spreadX < 1.8 && total / (ratio * ratio) > 7 && total / (ratio * ratio) < 14,
                 qPrintable(figures));
    }
};

QTEST_MAIN(TestTargetCanvas)
#include "test_target_canvas.moc"
