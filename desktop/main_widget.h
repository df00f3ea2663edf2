#pragma once

#include <QWidget>
#include <array>
#include <iterator>

#include "program/front_end.h"

class QLabel;
class QPushButton;
class QTimer;

namespace mokopera {

class Program;
class TargetCanvas;

// The main window `Form1`, built from its layout: the target canvas, six buttons, fifteen labels
// and the automatic-firing timer. It carries out what the program asks and passes on the clicks,
// the timer's ticks, its activation (once the event loop has shown it) and its close box.
class MainWidget final : public QWidget, public MainView {
    Q_OBJECT
public:
    // `scale`: how much smaller than its layout the window is shown, to fit the screen (1: not).
    explicit MainWidget(Program& program, double scale = 1.0);
    ~MainWidget() override;

    [[nodiscard]] TargetCanvas* Canvas() const { return canvas_; }

    void SetCommandEnabled(Command command, bool enabled) override;
    void SetLabelText(ValueLabel label, const std::string& text) override;
    void SetVerdictColour(ConsoleColour colour) override;
    void ClearCanvas() override;
    void SetPoint(float x, float y) override;
    void TargetDrawn() override;
    void DrawMark(float x, float y, ConsoleColour colour) override;
    void SetBusyPointer(bool busy) override;
    void SetTimerRunning(bool running) override;
    void Announce(const std::string& text) override;
    [[nodiscard]] QString Announced() const;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    static std::size_t Index(ValueLabel label) { return static_cast<std::size_t>(label); }

    Program& program_;
    std::array<QPushButton*, kCommandCount> buttons_{};  // Command1 .. Command6
    std::array<QLabel*, std::size(kValueLabels)> valueLabels_{};
    TargetCanvas* canvas_ = nullptr;  // Picture1
    QTimer* timer_ = nullptr;         // Timer1
    QLabel* announcer_ = nullptr;     // what screen readers are told, unseen
};

}  // namespace mokopera
