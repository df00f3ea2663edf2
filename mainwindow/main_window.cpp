#include "mainwindow/main_window.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "core/shot_step.h"
#include "core/texts.h"
#include "mainwindow/app_icon.h"
#include "mainwindow/box_label.h"
#include "mainwindow/fonts.h"
#include "mainwindow/target_canvas.h"
#include "sound/mm_control.h"

namespace mokopera {

namespace {

constexpr int kClientWidth = 433;
constexpr int kClientHeight = 620;

enum class Look { Boxed, Title, Plain, Wrapped };  // Wrapped: a box whose caption takes two lines
enum class Ink { LabelDefault, WindowText, Black };

struct LabelSpec {
    const char* name;
    const char* caption;
    QRect geometry;
    int pixelSize;
    bool bold;
    Look look;
    Ink ink = Ink::LabelDefault;
};

// Every label, in pixels (twips ÷ 15). Neighbouring boxes overlap by one pixel so that their
// borders coincide.
constexpr LabelSpec kLabels[] = {
    {"Label7", "モコペラも数撃ちゃ当たる", {56, 0, 273, 25}, 21, true, Look::Title, Ink::WindowText},
    {"Label8", "鉄砲の腕前が１０回中１回命中する人が鉄砲を撃ちます。", {16, 424, 401, 17}, 16, false, Look::Plain},
    {"Label1", "命中回数", {16, 448, 89, 25}, 19, true, Look::Boxed},
    {"Label2", "", {104, 448, 49, 25}, 19, true, Look::Boxed, Ink::Black},
    {"Label3", "発射回数", {160, 448, 89, 25}, 19, true, Look::Boxed},
    {"Label4", "", {248, 448, 49, 25}, 19, true, Look::Boxed},
    {"Label9", "", {320, 448, 97, 25}, 19, true, Look::Boxed},
    {"Label12", "成功回数", {32, 480, 89, 25}, 19, true, Look::Boxed},
    {"Label13", "", {120, 480, 65, 25}, 19, true, Look::Boxed},
    {"Label6", "成功率", {192, 496, 89, 25}, 19, true, Look::Boxed},
    {"Label5", "", {280, 496, 121, 25}, 19, true, Look::Boxed},
    {"Label10", "実験回数", {32, 512, 89, 25}, 19, true, Look::Boxed},
    {"Label11", "", {120, 512, 65, 25}, 19, true, Look::Boxed},
    {"Label14", "少なくとも一回当たる数学的確率", {280, 544, 121, 33}, 15, true, Look::Wrapped},
    {"Label15", "", {280, 576, 121, 25}, 19, true, Look::Boxed},
};

struct ButtonSpec {
    const char* name;
    const char* caption;
    QRect geometry;
    int pixelSize;
    bool bold;
};

constexpr ButtonSpec kButtons[] = {
    {"Command1", "発　射", {120, 552, 129, 49}, 19, true},
    {"Command2", "自動開始", {16, 544, 81, 33}, 15, true},
    {"Command3", "自動停止", {16, 576, 81, 33}, 15, true},
    {"Command4", "終了", {0, 0, 49, 25}, 13, false},
    {"Command5", "初期化", {384, 0, 49, 25}, 13, false},
    {"Command6", "HELP", {336, 0, 49, 25}, 13, false},
};

const std::pair<const char*, ValueLabel> kValueLabels[] = {
    {"Label2", ValueLabel::Label2},   {"Label4", ValueLabel::Label4},   {"Label5", ValueLabel::Label5},
    {"Label9", ValueLabel::Label9},   {"Label11", ValueLabel::Label11}, {"Label13", ValueLabel::Label13},
    {"Label15", ValueLabel::Label15},
};

QLabel* MakeLabel(const LabelSpec& entry, QWidget* parent)
{
    const QString caption = QString::fromUtf8(entry.caption);
    QPalette palette = parent->palette();
    const QColor ink = entry.ink == Ink::Black        ? QColor(Qt::black)
                       : entry.ink == Ink::WindowText ? palette.color(QPalette::WindowText)
                                                      : palette.color(QPalette::ButtonText);
    QLabel* label = nullptr;
    if (entry.look == Look::Plain) {
        label = new QLabel(caption, parent);
    } else {
        label = new BoxLabel(caption, palette.color(QPalette::WindowText), parent);
        palette.setColor(QPalette::Window, entry.look == Look::Title ? QColor(255, 192, 255) : QColor(Qt::white));
    }
    palette.setColor(QPalette::WindowText, ink);
    label->setObjectName(entry.name);
    label->setGeometry(entry.geometry);
    label->setFont(JapaneseFont(entry.pixelSize, entry.bold));
    label->setAlignment(Qt::AlignCenter);
    label->setPalette(palette);
    label->setWordWrap(entry.look == Look::Wrapped);
    return label;
}

QPushButton* MakeButton(const ButtonSpec& entry, QWidget* parent)
{
    auto* button = new QPushButton(QString::fromUtf8(entry.caption), parent);
    button->setObjectName(entry.name);
    button->setGeometry(entry.geometry);
    button->setFont(JapaneseFont(entry.pixelSize, entry.bold));
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

}  // namespace

MainWindow::MainWindow(const MainWindowServices& services, QWidget* parent)
    : QWidget(parent), services_(services)
{
    setObjectName("Form1");
    setWindowTitle(QStringLiteral(" ") + QString::fromUtf8(texts::kWindowTitle));
    setWindowIcon(AppIcon());
    setFixedSize(kClientWidth, kClientHeight);
    BuildControls();
    ConnectHandlers();
    LoadSequence();
}

MainWindow::~MainWindow() = default;

void MainWindow::BuildControls()
{
    // The separator lies behind the top-row buttons, so it is created first.
    auto* line = new QFrame(this);
    line->setObjectName("Line1");
    line->setFrameStyle(QFrame::HLine | QFrame::Plain);
    line->setLineWidth(1);
    line->setGeometry(0, 24, 433, 1);

    canvas_ = new TargetCanvas(this);
    canvas_->setGeometry(16, 40, 401, 377);

    for (const LabelSpec& entry : kLabels)
        MakeLabel(entry, this);
    for (const auto& [name, role] : kValueLabels)
        valueLabels_[role] = findChild<QLabel*>(name);

    for (const ButtonSpec& entry : kButtons)
        MakeButton(entry, this);
    fire_ = findChild<QPushButton*>("Command1");
    autoStart_ = findChild<QPushButton*>("Command2");
    autoStop_ = findChild<QPushButton*>("Command3");
    quit_ = findChild<QPushButton*>("Command4");
    reset_ = findChild<QPushButton*>("Command5");
    help_ = findChild<QPushButton*>("Command6");
    setTabOrder(canvas_, fire_);
    setTabOrder(fire_, autoStart_);
    setTabOrder(autoStart_, autoStop_);
    setTabOrder(autoStop_, quit_);
    setTabOrder(quit_, reset_);
    setTabOrder(reset_, help_);

    timer_ = new QTimer(this);
    timer_->setObjectName("Timer1");
    timer_->setInterval(100);
    timer_->setTimerType(Qt::PreciseTimer);

    device_ = new MMControl(services_.media, services_.cueFiles, this);
}

void MainWindow::ConnectHandlers()
{
    connect(fire_, &QPushButton::clicked, this, &MainWindow::Fire);
    connect(autoStart_, &QPushButton::clicked, this, &MainWindow::AutoStart);
    connect(autoStop_, &QPushButton::clicked, this, &MainWindow::AutoStop);
    connect(quit_, &QPushButton::clicked, this, &MainWindow::Quit);
    connect(reset_, &QPushButton::clicked, this, &MainWindow::ResetSequence);
    connect(help_, &QPushButton::clicked, this, &MainWindow::Help);
    connect(timer_, &QTimer::timeout, this, &MainWindow::Tick);
}

void MainWindow::LoadSequence()
{
    ZeroCounters(state_);
}

void MainWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Activation runs once per load, as soon as the event loop has shown the window; later
    // focus changes never run it again. This needs no window manager.
    if (!activationScheduled_) {
        activationScheduled_ = true;
        QTimer::singleShot(0, this, &MainWindow::ActivateSequence);
    }
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // The window system's close box ends the program without a question or a cue.
    event->accept();
    services_.navigator.EndProgram();
}

void MainWindow::ActivateSequence()
{
    (void)PrepareSeries();
}

// What activation and Reset end with: Auto stop and Reset off, the target, the entry of N and
// the theory. False when the user chose to end the program at the entry; nothing may follow.
bool MainWindow::PrepareSeries()
{
    autoStop_->setEnabled(false);
    reset_->setEnabled(false);
    canvas_->DrawTargetRing(state_);
    if (AskShotsPerExperiment(state_, services_.dialogs) == AskResult::EndProgram) {
        services_.navigator.EndProgram();
        return false;
    }
    valueLabels_[ValueLabel::Label15]->setText(QString::fromStdString(ShowTheory(state_)));
    return true;
}

void MainWindow::ResetSequence()
{
    setCursor(Qt::WaitCursor);
    PlayCue(*device_, texts::kButtonCue);
    canvas_->Clear();
    for (ValueLabel label : {ValueLabel::Label2, ValueLabel::Label4, ValueLabel::Label5, ValueLabel::Label9,
                             ValueLabel::Label11, ValueLabel::Label13, ValueLabel::Label15})
        valueLabels_[label]->clear();
    ZeroCounters(state_);
    limitReached_ = false;
    if (!PrepareSeries())
        return;  // the program is ending: the busy pointer stays
    setCursor(Qt::ArrowCursor);
}

void MainWindow::SetButtons(std::initializer_list<std::pair<QPushButton*, bool>> states)
{
    for (const auto& [button, enabled] : states)
        button->setEnabled(enabled);
}

void MainWindow::Fire()
{
    reset_->setEnabled(true);
    RunShot();
}

void MainWindow::AutoStart()
{
    SetButtons({{fire_, false}, {autoStart_, false}, {autoStop_, true}, {quit_, false}, {reset_, false}, {help_, false}});
    timer_->start();
}

void MainWindow::AutoStop()
{
    SetButtons({{fire_, true}, {autoStart_, true}, {autoStop_, false}, {quit_, true}, {reset_, true}, {help_, true}});
    timer_->stop();
}

void MainWindow::Tick()
{
    RunShot();
}

void MainWindow::Quit()
{
    PlayCue(*device_, texts::kQuitCue);
    state_.Answer = services_.dialogs.YesNoBox(texts::kQuitPrompt, texts::kWindowTitle);
    if (state_.Answer == kYes)
        services_.navigator.EndProgram();
}

void MainWindow::Help()
{
    PlayCue(*device_, texts::kButtonCue);
    services_.navigator.OpenHelp();
}

void MainWindow::RunShot()
{
    if (!limitReached_ &&
        ShotStep(state_, services_.random, services_.clock, *this) == StepResult::Completed)
        return;
    limitReached_ = true;
    TellExperimentLimit();
}

// The experiment counter is full: firing stops, the results stay on screen, and the user is told
// that Reset starts a new series. A further shot only repeats the message.
void MainWindow::TellExperimentLimit()
{
    if (timer_->isActive())
        AutoStop();
    services_.dialogs.Notice(texts::kLimitReached, texts::kWindowTitle);
}

void MainWindow::SetLabelText(ValueLabel label, const std::string& text)
{
    valueLabels_[label]->setText(QString::fromStdString(text));
}

void MainWindow::SetVerdictColour(ConsoleColour colour)
{
    QLabel* verdict = valueLabels_[ValueLabel::Label9];
    QPalette palette = verdict->palette();
    palette.setColor(QPalette::WindowText, ColourOf(colour));
    verdict->setPalette(palette);
}

void MainWindow::ClearCanvas()
{
    canvas_->Clear();
}

void MainWindow::DrawTarget()
{
    canvas_->DrawTargetRing(state_);
}

void MainWindow::DrawMark(float x, float y, ConsoleColour colour)
{
    canvas_->DrawMark(x, y, colour);
}

void MainWindow::PlayVerdictCue(const std::string& waveFile)
{
    mokopera::PlayVerdictCue(*device_, waveFile);
}

}  // namespace mokopera
