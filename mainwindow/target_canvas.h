#pragma once

#include <QFrame>
#include <QImage>
#include <climits>

#include "core/effects.h"
#include "core/experiment_state.h"
#include "core/target.h"

namespace mokopera {

// The target canvas `Picture1`: a sunken 2-pixel frame around a 397 × 373 pixel drawing area
// addressed in 500 × 500 user units (not square). Everything is drawn into an off-screen image
// at the screen's pixel ratio, which also repaints the canvas whenever the window is uncovered,
// so the drawing stays until it is cleared.
class TargetCanvas : public QFrame, public PointCanvas {
    Q_OBJECT
public:
    static constexpr int kAreaWidth = 397;
    static constexpr int kAreaHeight = 373;
    static constexpr double kUnits = 500.0;

    explicit TargetCanvas(QWidget* parent = nullptr);

    // Erases everything, leaving the background.
    void Clear();
    // One point in the foreground colour (the system's button text).
    void SetPoint(float x, float y) override;
    // Runs the target sweep (its loop counter lives in `state`) and repaints the ring once.
    void DrawTargetRing(ExperimentState& state);
    // A circle outline of radius 2 units (scaled with the x units) around (x, y).
    void DrawMark(float x, float y, ConsoleColour colour);

    // The drawing in device pixels, for tests and screenshots.
    [[nodiscard]] const QImage& Image() const { return image_; }
    // The logical pixel of the drawing area that holds the user point (x, y).
    [[nodiscard]] static QPoint ToPixel(double x, double y);
    [[nodiscard]] QColor Background() const;
    [[nodiscard]] QColor Foreground() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Repaint(const QRect& areaRect);
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

[[nodiscard]] QColor ColourOf(ConsoleColour colour);

}  // namespace mokopera
