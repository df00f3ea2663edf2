#pragma once

#include <QFrame>
#include <QImage>
#include <QStringList>

namespace mokopera {

// The help window's text canvas `Picture1`: lines are printed top to bottom into an off-screen
// image, so the text stays when the window is covered and repainted.
class TextCanvas : public QFrame {
    Q_OBJECT
public:
    // `scale`: how much smaller than its layout the window is shown (1: not at all).
    explicit TextCanvas(double scale = 1.0, QWidget* parent = nullptr);
    // Erases the text and puts the print position back at the top left.
    void Clear();
    // Prints one line at the print position, without wrapping, and moves one line down: `indent`
    // ideographic spaces at their full width, then `text`. A line wider than the canvas is
    // narrowed rather than cut off at the edge: its text, never its indent, so that every line of
    // a sentence starts where the others do.
    void PrintLine(int indent, const QString& text);
    // The width of `indent` ideographic spaces.
    [[nodiscard]] qreal IndentWidth(int indent) const;
    // The horizontal scale `text` is printed at after `indent`: 1, or less when it would pass the
    // canvas's right edge.
    [[nodiscard]] qreal FitScale(int indent, const QString& text) const;
    // Every line printed since the last Clear, its indent written as ideographic spaces.
    [[nodiscard]] const QStringList& PrintedLines() const { return printed_; }
    [[nodiscard]] const QImage& Image() const { return image_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage image_;
    QStringList printed_;
    double scale_;
    double printY_ = 0;
};

}  // namespace mokopera
