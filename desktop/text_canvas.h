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
    explicit TextCanvas(QWidget* parent = nullptr);
    // Erases the text and puts the print position back at the top left.
    void Clear();
    // Prints one line at the print position, without wrapping, and moves one line down. A line
    // wider than the canvas is narrowed rather than cut off at the edge: its text, never its
    // indent, so that every line of a sentence starts where the others do.
    void PrintLine(const QString& line);
    // The width of the ideographic spaces `line` opens with, at full width.
    [[nodiscard]] qreal IndentWidth(const QString& line) const;
    // The horizontal scale the text after the indent is printed at: 1, or less when it would
    // pass the canvas's right edge.
    [[nodiscard]] qreal FitScale(const QString& line) const;
    [[nodiscard]] const QStringList& PrintedLines() const { return printed_; }
    [[nodiscard]] const QImage& Image() const { return image_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage image_;
    QStringList printed_;
    int printY_ = 0;
};

}  // namespace mokopera
