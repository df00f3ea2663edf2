#pragma once

#include <QLabel>

namespace mokopera {

// A label in a single thin box. The box keeps its own colour when the text colour changes (the
// verdict turns blue or red, its box stays black), and a wrapped caption is set one line per
// font pixel size, so two lines fit a box two lines high in any font.
class BoxLabel : public QLabel {
    Q_OBJECT
public:
    BoxLabel(const QString& text, QColor boxColour, QWidget* parent = nullptr);
    [[nodiscard]] QColor BoxColour() const { return boxColour_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void DrawWrapped(QPainter& painter, const QRect& area) const;
    QColor boxColour_;
};

}  // namespace mokopera
