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

class TestSoak : public QObject {
    Q_OBJECT

private slots:
    void aClassroomDay()
    {
        InstallFontSubstitutes();
        const std::string bin = QCoreApplication::applicationDirPath().toStdString();
        AudioModule media(bin + "/mokopera-audio.so", CueFileLocator({bin}));
        MixingRandomSource random(99);
        SystemClock clock;
        Desktop desktop(&media, &random, &clock);
        QVERIFY(desktop.Start());
        FlushDeletes();
        const auto widgets = QApplication::allWidgets().size();
        auto resident = [] {
            long pages = 0, resident = 0;
            std::ifstream("/proc/self/statm") >> pages >> resident;
            return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
        };
        double afterWarmUp = 0;
        for (int round = 0; round < 200; ++round) {
            desktop.Click(2);
            for (int shot = 0; shot < 250; ++shot)
                desktop.program.Tick();  // automatic firing, each tick at once instead of every 100 ms
            desktop.Click(3);
            // The labels tell exactly the story of 250 shots at N = 5 since the last reset.
            const ExperimentState& state = desktop.program.State();
            auto text = [&](const char* label) { return desktop.screens.CurrentMainWidget()->findChild<QLabel*>(label)->text(); };
            QCOMPARE(state.Successes + state.Failures, 50);
            QCOMPARE(text("Label11"), QString("50"));
            QCOMPARE(text("Label13"), QString::number(state.Successes));
            QCOMPARE(text("Label4"), QString("5"));
            QCOMPARE(text("Label5"), QString::fromStdString(FormatProbability(state.Successes / 50.0)));
            QCoreApplication::processEvents();  // let the window paint
            desktop.Click(5);
            desktop.Answer("OK", "5");
            QVERIFY(state.ShotNumber == 0 && text("Label11").isEmpty());
            desktop.Click(6);
            FlushDeletes();
            desktop.screens.CurrentHelpWidget()->findChild<QPushButton*>("Command1")->click();
            desktop.Answer("OK", "5");
            FlushDeletes();
            QCOMPARE(QApplication::allWidgets().size(), widgets);
            QCOMPARE(QApplication::topLevelWidgets().size(), 1);
            afterWarmUp = round == 19 ? resident() : afterWarmUp;
        }
        const double growth = resident() - afterWarmUp;
        qInfo("resident memory after warm-up %.1f MiB, growth over the rest %.2f MiB", afterWarmUp, growth);
#if !defined(__SANITIZE_ADDRESS__)
        // AddressSanitizer keeps freed memory in quarantine, so there only its leak check counts.
        QVERIFY2(growth < 2.0, qPrintable(QString("grew by %1 MiB").arg(growth)));
#endif
        QVERIFY(desktop.ends == 0 && !desktop.screens.OpenBox());
    }
};

QTEST_MAIN(TestSoak)
#include "test_soak.moc"
