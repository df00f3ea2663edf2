#pragma once

#include <QWidget>
#include <map>

#include "core/effects.h"
#include "core/entry.h"
#include "core/experiment_state.h"
#include "core/random_source.h"
#include "mainwindow/navigator.h"
#include "sound/cue_files.h"
#include "sound/media_device.h"

class QLabel;
class QPushButton;
class QTimer;

namespace mokopera {

class MMControl;
class TargetCanvas;

// What the main window is given from outside: every platform service it uses.
struct MainWindowServices {
    RandomSource& random;
    Clock& clock;
    Dialogs& dialogs;
    MediaDevice& media;
    const CueFileLocator& cueFiles;
    Navigator& navigator;
};

// The main window `Form1`: the target canvas, six command buttons, fifteen labels, the
// automatic-firing timer and the sound device control, laid out at fixed pixel positions.
// Constructing it is the window's load; its activation runs once, after it is first shown.
class MainWindow : public QWidget, private ShotEffects {
    Q_OBJECT
public:
    explicit MainWindow(const MainWindowServices& services, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Zeroes the counters and sets the theory product to 1. Runs at construction.
    void LoadSequence();
    // Disables Auto stop and Reset, draws the target, asks for N, shows the theory.
    void ActivateSequence();
    // Busy pointer, reset cue, blank canvas and labels, zero counters, then as activation.
    void ResetSequence();
    // One tick of automatic firing: one shot. Public so a soak run can drive it directly.
    void Tick();

    [[nodiscard]] const ExperimentState& State() const { return state_; }
    // For tests that start from a prepared series (near the experiment limit, say).
    [[nodiscard]] ExperimentState& MutableState() { return state_; }
    [[nodiscard]] TargetCanvas* Canvas() const { return canvas_; }
    [[nodiscard]] MMControl* Device() const { return device_; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildControls();
    [[nodiscard]] bool PrepareSeries();
    void ConnectHandlers();
    void Fire();
    void AutoStart();
    void AutoStop();
    void Quit();
    void Help();
    void RunShot();
    void TellExperimentLimit();
    void SetButtons(std::initializer_list<std::pair<QPushButton*, bool>> states);

    // ShotEffects: carried out at once, in the order the shot asks.
    void SetLabelText(ValueLabel label, const std::string& text) override;
    void SetVerdictColour(ConsoleColour colour) override;
    void ClearCanvas() override;
    void DrawTarget() override;
    void DrawMark(float x, float y, ConsoleColour colour) override;
    void PlayVerdictCue(const std::string& waveFile) override;

    MainWindowServices services_;
    ExperimentState state_;
    bool activationScheduled_ = false;
    bool limitReached_ = false;  // the experiment counter is full until the next Reset

    QPushButton* fire_ = nullptr;       // Command1
    QPushButton* autoStart_ = nullptr;  // Command2
    QPushButton* autoStop_ = nullptr;   // Command3
    QPushButton* quit_ = nullptr;       // Command4
    QPushButton* reset_ = nullptr;      // Command5
    QPushButton* help_ = nullptr;       // Command6
    TargetCanvas* canvas_ = nullptr;    // Picture1
    QTimer* timer_ = nullptr;           // Timer1
    MMControl* device_ = nullptr;       // MMControl1
    std::map<ValueLabel, QLabel*> valueLabels_;
};

}  // namespace mokopera
