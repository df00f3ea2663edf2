#pragma once

#include <QFrame>
#include <QImage>
#include <climits>

#include "simulation/effects.h"
#include "simulation/target.h"

namespace mokopera {

// The target canvas `Picture1`: a sunken 2-pixel frame around a drawing area (397 × 373 pixels on
// the main window) addressed in 500 × 500 user units, not square. Everything is drawn into an
// off-screen image at the screen's pixel ratio, which also repaints the canvas whenever the window
// is uncovered, so the drawing stays until it is cleared.
class TargetCanvas : public QFrame, public PointCanvas {
    Q_OBJECT
public:
    TargetCanvas(QSize area, QWidget* parent = nullptr);

    // Erases everything, leaving the background.
    void Clear();
    // One point of the target ring in the foreground colour (the system's button text). The
    // ring's points show together, at RingDone.
    void SetPoint(float x, float y) override;
    void RingDone();
    // A circle outline of radius 2 units (scaled with the x units) around (x, y).
    void DrawMark(float x, float y, ConsoleColour colour);

    // The drawing in device pixels, for tests and screenshots.
    [[nodiscard]] const QImage& Image() const { return image_; }
    [[nodiscard]] QColor Background() const;
    [[nodiscard]] QColor Foreground() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Repaint(const QRect& areaRect);
    void BeginRing();
    double scaleX_, scaleY_;  // pixels per unit
    QImage image_;
    QRgb foreground_;
    // Where the ring being drawn goes: the image's pixels in device units, and the part it touched.
    struct RingDrawing {
        QRgb* pixels = nullptr;
        int stride = 0, pointSize = 1, lastX = 0, lastY = 0;
        double scaleX = 0, scaleY = 0;
        int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;
    } ring_;
};

}  // namespace mokopera
