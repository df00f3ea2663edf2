// Window benchmarks on the real widgets (run with QT_QPA_PLATFORM=offscreen):
//   bench_window draw-target   DrawTarget plus the repaint it causes, median of 500 calls
//   bench_window auto-fire     300 ticks of automatic firing at N = 5 against a bare 100 ms
//                              QTimer measured the same way in the same run
//   bench_window cues          how long each device command of a cue takes with the real sound
//                              layer, for a present and a missing file (the first call included)
//   bench_window classroom-day 200 rounds of 250 automatic shots, Reset, HELP and back: resident
//                              memory after 20 rounds, and how much it grows over the other 180

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <numeric>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

#include "desktop/audio_module.h"
#include "desktop/fonts.h"
#include "desktop/qt_screens.h"
#include "desktop/target_canvas.h"
#include "program/device_control.h"
#include "program/program.h"
#include "simulation/target.h"

namespace {

using namespace mokopera;

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct TickFigures {
    double meanMs, p99DeviationMs, cpuPercent;
};

// Records every timeout of `timer` until `ticks` have come, then reports the intervals and the
// CPU time the whole process used meanwhile.
TickFigures MeasureTicks(QTimer* timer, int ticks, const std::function<void()>& start,
                         const std::function<void()>& stop)
{
    std::vector<qint64> stamps;
    QElapsedTimer clock;
    QEventLoop loop;
    auto connection = QObject::connect(timer, &QTimer::timeout, [&] {
        stamps.push_back(clock.nsecsElapsed());
        if (int(stamps.size()) == ticks + 1)
            loop.quit();
    });
    const double cpuBefore = CpuSeconds();
    clock.start();
    start();
    loop.exec();
    stop();
    const double wall = clock.nsecsElapsed() / 1e9;
    const double cpu = CpuSeconds() - cpuBefore;
    QObject::disconnect(connection);

    std::vector<double> intervals, deviations;
    for (std::size_t i = 1; i < stamps.size(); ++i) {
        intervals.push_back((stamps[i] - stamps[i - 1]) / 1e6);
        deviations.push_back(std::abs(intervals.back() - 100.0));
    }
    std::sort(deviations.begin(), deviations.end());
    const double mean = std::accumulate(intervals.begin(), intervals.end(), 0.0) / intervals.size();
    return {mean, deviations[deviations.size() * 99 / 100], 100.0 * cpu / wall};
}

int DrawTargetBench(MainWidget& window)
{
    ExperimentState state;
    std::vector<double> micros;
    for (int i = 0; i < 500; ++i) {
        QElapsedTimer clock;
        clock.start();
        DrawTarget(state, window);  // the sweep, point by point, as the program runs it
        window.TargetDrawn();
        QCoreApplication::processEvents();  // the repaint the ring asked for
        micros.push_back(clock.nsecsElapsed() / 1e3);
    }
    std::sort(micros.begin(), micros.end());
    std::printf("DrawTarget + repaint: median %.1f us, 90th percentile %.1f us, max %.1f us (500 calls)\n",
                micros[micros.size() / 2], micros[micros.size() * 9 / 10], micros.back());
    return 0;
}

int AutoFireBench(MainWidget& window, const ExperimentState& record)
{
    QTimer bare;
    bare.setInterval(100);
    bare.setTimerType(Qt::PreciseTimer);
    const TickFigures empty = MeasureTicks(
        &bare, 300, [&] { bare.start(); }, [&] { bare.stop(); });
    std::printf("bare 100 ms QTimer:       mean %.3f ms, p99 deviation %.3f ms, CPU %.2f%% of one core\n", empty.meanMs,
                empty.p99DeviationMs, empty.cpuPercent);

    auto* timer = window.findChild<QTimer*>("Timer1");
    const TickFigures fire = MeasureTicks(
        timer, 300, [&] { window.findChild<QPushButton*>("Command2")->click(); },
        [&] { window.findChild<QPushButton*>("Command3")->click(); });
    std::printf("automatic firing, N = 5:  mean %.3f ms, p99 deviation %.3f ms, CPU %.2f%% of one core\n", fire.meanMs,
                fire.p99DeviationMs, fire.cpuPercent);
    std::printf("shots fired: experiments %d\n", record.Successes + record.Failures);
    return 0;
}

// Times every property assignment a cue makes on the real device control.
class TimedControl final : public DeviceCommands {
public:
    explicit TimedControl(DeviceControl& control) : control_(control) {}
    std::vector<double> micros;
    void SetFileName(const std::string& name) override
    {
        Time([&] { control_.SetFileName(name); });
    }
    void SetCommand(const std::string& command) override
    {
        Time([&] { control_.SetCommand(command); });
    }

private:
    template <typename F>
    void Time(F f)
    {
        QElapsedTimer clock;
        clock.start();
        f();
        micros.push_back(clock.nsecsElapsed() / 1e3);
    }
    DeviceControl& control_;
};

int CueBench(MediaDevice& media)
{
    for (const char* file : {"Chimes.wav", "no-such-file.wav"}) {
        DeviceControl control(media);
        TimedControl timed(control);
        PlayCue(timed, file);
        const double first = *std::max_element(timed.micros.begin(), timed.micros.end());
        timed.micros.clear();
        for (int i = 0; i < 200; ++i) {
            PlayVerdictCue(timed, file);
            PlayCue(timed, file);
            QCoreApplication::processEvents();
        }
        std::sort(timed.micros.begin(), timed.micros.end());
        std::printf("%-18s first cue's slowest command %.1f us; later commands median %.1f us, max %.1f us (%zu)\n",
                    file, first, timed.micros[timed.micros.size() / 2], timed.micros.back(), timed.micros.size());
    }
    return 0;
}

double ResidentMiB()
{
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// Answers the open entry box with "5".
void AnswerFive(QtScreens& screens)
{
    while (!screens.OpenBox())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    screens.OpenBox()->findChild<QLineEdit*>()->setText("5");
    screens.OpenBox()->findChildren<QPushButton*>().first()->click();
}

int ClassroomDayBench(QtScreens& screens, Program& program)
{
    auto click = [&](QWidget* window, const char* name) { window->findChild<QPushButton*>(name)->click(); };
    double afterWarmUp = 0;
    for (int round = 0; round < 200; ++round) {
        click(screens.CurrentMainWidget(), "Command2");
        for (int shot = 0; shot < 250; ++shot)
            program.Tick();  // each tick at once instead of every 100 ms
        click(screens.CurrentMainWidget(), "Command3");
        QCoreApplication::processEvents();  // let the window paint
        click(screens.CurrentMainWidget(), "Command5");
        AnswerFive(screens);
        click(screens.CurrentMainWidget(), "Command6");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        click(screens.CurrentHelpWidget(), "Command1");
        AnswerFive(screens);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        afterWarmUp = round == 19 ? ResidentMiB() : afterWarmUp;
    }
    std::printf("resident memory after 20 rounds %.1f MiB, growth over the next 180 rounds %.2f MiB; %lld widgets\n",
                afterWarmUp, ResidentMiB() - afterWarmUp, static_cast<long long>(QApplication::allWidgets().size()));
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    InstallFontSubstitutes();
    const QString mode = argc > 1 ? QString(argv[1]) : QString("draw-target");

    const std::string bin = QCoreApplication::applicationDirPath().toStdString();
    AudioModule media(bin + "/mokopera-audio.so", CueFileLocator({bin}));
    MixingRandomSource random(2024);
    SystemClock clock;
    QtScreens screens([] {});
    ExperimentState record;
    Program program({screens, screens, media, random, clock}, record);
    screens.Attach(program);
    program.Start();  // activation follows from the event loop; the entry box is answered "5"
    AnswerFive(screens);
    MainWidget& window = *screens.CurrentMainWidget();

    if (mode == "draw-target")
        return DrawTargetBench(window);
    if (mode == "auto-fire")
        return AutoFireBench(window, record);
    if (mode == "cues")
        return CueBench(media);
    if (mode == "classroom-day")
        return ClassroomDayBench(screens, program);
    std::fprintf(stderr, "usage: bench_window [draw-target|auto-fire|cues|classroom-day]\n");
    return 2;
}
