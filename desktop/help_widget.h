#pragma once

#include <QWidget>
#include <string>

#include "desktop/text_canvas.h"
#include "program/front_end.h"

namespace mokopera {

class Program;

// The help window `Form2`, built from its layout: the problem and the operating instructions,
// printed on its canvas by the program, and a Close button.
class HelpWidget final : public QWidget, public HelpView {
    Q_OBJECT
public:
    // `scale`: how much smaller than its layout the window is shown, to fit the screen (1: not).
    explicit HelpWidget(Program& program, double scale = 1.0);
    [[nodiscard]] TextCanvas* Canvas() const { return canvas_; }

    void ClearText() override;
    void PrintLine(int indent, const std::string& text) override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    Program& program_;
    TextCanvas* canvas_ = nullptr;
};

}  // namespace mokopera
