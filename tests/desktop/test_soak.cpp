// A classroom day on the real program and its real windows, sound output and generator: 50,000
// automatic shots, 200 Resets and 200 trips to the help window and back. Every label tells the
// exact story, no window or widget is left behind, and memory stays flat.

#include <QtTest>

#include <QLabel>
#include <fstream>
#include <unistd.h>

#include "desktop/audio_module.h"
#include "desktop_harness.h"
#include "simulation/number_text.h"

using namespace mokopera;
using namespace mokopera::testing;

namespace {

double ResidentMiB()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

QString Text(Desktop& desktop, const char* label)
{
    return desktop.screens.CurrentMainWidget()->findChild<QLabel*>(label)->text();
}

// Automatic firing for `shots` ticks, each handled at once instead of every 100 ms.
void FireAutomatically(Desktop& desktop, int shots)
{
    desktop.Click(2);
    for (int shot = 0; shot < shots; ++shot)
        desktop.program.Tick();
    desktop.Click(3);
}

// The labels tell exactly the story of `shots` shots at N = 5 since the last reset.
void CheckLabels(Desktop& desktop, int shots)
{
    const ExperimentState& state = desktop.program.State();
    const int experiments = shots / 5;
    QCOMPARE(state.Successes + state.Failures, experiments);
    QCOMPARE(Text(desktop, "Label11"), QString::number(experiments));
    QCOMPARE(Text(desktop, "Label13"), QString::number(state.Successes));
    QCOMPARE(Text(desktop, "Label4"), QString::number((shots - 1) % 5 + 1));
    QCOMPARE(Text(desktop, "Label2"), QString::number(state.Hits));
    if (experiments > 0)
        QCOMPARE(Text(desktop, "Label5"), QString::fromStdString(FormatProbability(double(state.Successes) / experiments)));
}

}  // namespace

class TestSoak : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InstallFontSubstitutes(); }

    void aClassroomDay()
    {
        const std::string bin = QCoreApplication::applicationDirPath().toStdString();
        AudioModule media(bin + "/mokopera-audio.so", CueFileLocator({bin}));
        MixingRandomSource random(99);
        SystemClock clock;
        Desktop desktop(&media, &random, &clock);
        QVERIFY(desktop.Start());
        FlushDeletes();
        const int widgetsPerMainWindow = int(QApplication::allWidgets().size());
        double residentAfterWarmUp = 0;
        for (int round = 0; round < 200; ++round) {
            FireAutomatically(desktop, 250);
            CheckLabels(desktop, 250);
            QCoreApplication::processEvents();  // let the window paint
            desktop.Click(5);
            desktop.Answer("OK", "5");
            QCOMPARE(desktop.program.State().ShotNumber, std::int16_t{0});
            QVERIFY(Text(desktop, "Label11").isEmpty());

            desktop.Click(6);
            FlushDeletes();
            desktop.screens.CurrentHelpWidget()->findChild<QPushButton*>("Command1")->click();
            desktop.Answer("OK", "5");
            FlushDeletes();
            QCOMPARE(int(QApplication::allWidgets().size()), widgetsPerMainWindow);
            QCOMPARE(QApplication::topLevelWidgets().size(), 1);
            if (round == 19)
                residentAfterWarmUp = ResidentMiB();
        }
        const double growth = ResidentMiB() - residentAfterWarmUp;
        qInfo("resident memory after warm-up %.1f MiB, growth over the rest %.2f MiB", residentAfterWarmUp, growth);
#if !defined(__SANITIZE_ADDRESS__)
        // AddressSanitizer keeps freed memory in quarantine, so there only its leak check counts.
        QVERIFY2(growth < 2.0, qPrintable(QString("grew by %1 MiB").arg(growth)));
#endif
        QCOMPARE(desktop.ends, 0);
        QVERIFY(!desktop.screens.OpenBox());
    }
};

QTEST_MAIN(TestSoak)
#include "test_soak.moc"
