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

bool HasColourNear(const QImage& image, QPoint centre, QColor colour, int reach)
{
    for (int y = centre.y() - reach; y <= centre.y() + reach; ++y)
        for (int x = centre.x() - reach; x <= centre.x() + reach; ++x)
            if (image.valid(x, y) && image.pixelColor(x, y) == colour)
                return true;
    return false;
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
        QVERIFY(image.pixelColor(TargetCanvas::ToPixel(270, 250)) == ink);
        QVERIFY(image.pixelColor(TargetCanvas::ToPixel(250, 270)) == ink);
        QVERIFY(image.pixelColor(TargetCanvas::ToPixel(250, 250)) != ink);  // hollow
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
        // A ring of radius 20 units is about 16 by 15 pixels: some 90 pixels around.
        QVERIFY(ringPixels > 60 && ringPixels < 140);
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
        canvas.DrawTargetRing(state);
        const QImage once = canvas.Image().copy();
        canvas.DrawTargetRing(state);
        QCOMPARE(canvas.Image(), once);
        QVERIFY(HasColourNear(canvas.Image(), TargetCanvas::ToPixel(400, 100), QColor(255, 0, 0), 2));
    }

    void clearLeavesOnlyBackground()
    {
        TargetCanvas canvas;
        ExperimentState state;
        canvas.DrawTargetRing(state);
        canvas.DrawMark(250, 250, ConsoleColour::LightBlue);
        canvas.Clear();
        QCOMPARE(CountPixels(canvas.Image(), canvas.Background()), 397 * 373);
    }

    // A mark is drawn in its colour at its place; at distance 200 straight up, down, left or
    // right it lies wholly inside the drawing area, as whole as one in the middle.
    void marks_data()
    {
        QTest::addColumn<QPointF>("centre");
        QTest::addColumn<int>("colour");
        QTest::newRow("hit at the centre") << QPointF(250, 250) << 9;
        QTest::newRow("miss 200 right") << QPointF(450, 250) << 12;
        QTest::newRow("miss 200 left") << QPointF(50, 250) << 12;
        QTest::newRow("miss 200 up") << QPointF(250, 50) << 12;
        QTest::newRow("miss 200 down") << QPointF(250, 450) << 12;
        QTest::newRow("hit on the ring") << QPointF(270, 250) << 9;
    }

    void marks()
    {
        QFETCH(QPointF, centre);
        QFETCH(int, colour);
        const auto console = static_cast<ConsoleColour>(colour);
        const QColor expected = colour == 9 ? QColor(0, 0, 255) : QColor(255, 0, 0);

        TargetCanvas canvas;
        canvas.DrawMark(float(centre.x()), float(centre.y()), console);
        QRect drawn;
        for (int y = 0; y < canvas.Image().height(); ++y)
            for (int x = 0; x < canvas.Image().width(); ++x)
                if (canvas.Image().pixelColor(x, y) == expected)
                    drawn |= QRect(x, y, 1, 1);
        // A circle of radius 2 units is about 3 pixels across, centred on its point.
        QVERIFY2(drawn.width() >= 3 && drawn.width() <= 5 && drawn.height() >= 3 && drawn.height() <= 5,
                 qPrintable(QString("%1 x %2").arg(drawn.width()).arg(drawn.height())));
        QVERIFY(QRect(0, 0, 397, 373).contains(drawn));
        const QPointF exact(centre.x() * 397 / 500, centre.y() * 373 / 500);
        QVERIFY(std::abs(QRectF(drawn).center().x() - exact.x()) <= 1.0);
        QVERIFY(std::abs(QRectF(drawn).center().y() - exact.y()) <= 1.0);
        QVERIFY(HasColourNear(canvas.Image(), TargetCanvas::ToPixel(centre.x(), centre.y()), expected, 2));
        QCOMPARE(CountPixels(canvas.Image(), expected == QColor(255, 0, 0) ? QColor(0, 0, 255) : QColor(255, 0, 0)), 0);
    }
};

QTEST_MAIN(TestTargetCanvas)
#include "test_target_canvas.moc"
