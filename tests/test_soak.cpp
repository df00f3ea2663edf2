// A classroom day in fast motion: the real main window with the real sound layer through 50,000
// shots, 200 resets and 200 trips to the help window and back; and cue files that are missing
// or broken. Nothing may be lost or left behind.

#include <QtTest>

#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <fstream>
#include <unistd.h>

#include "core/number_text.h"
#include "helpwindow/window_switcher.h"
#include "mainwindow/fonts.h"
#include "sound/mm_control.h"
#include "sound/qt_media_device.h"

using namespace mokopera;

namespace {

// Answers every entry with 5 and every question with No.
class AlwaysFive : public Dialogs {
public:
    int notices = 0;
    std::string InputBox(const std::string&, const std::string&, const std::string&) override { return "5"; }
    std::int16_t YesNoBox(const std::string&, const std::string&) override { return kNo; }
    void Notice(const std::string&, const std::string&) override { ++notices; }
};

double ResidentMiB()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// Automatic firing for `shots` ticks, each handled at once instead of every 100 ms.
void FireAutomatically(MainWindow* window, int shots)
{
    window->findChild<QPushButton*>("Command2")->click();
    for (int shot = 0; shot < shots; ++shot)
        window->Tick();
    window->findChild<QPushButton*>("Command3")->click();
}

QString Text(MainWindow* window, const char* label)
{
    return window->findChild<QLabel*>(label)->text();
}

void FlushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

struct Program {
    AlwaysFive dialogs;
    MixingRandomSource random{99};
    SystemClock clock;
    QtMediaDevice media;
    CueFileLocator cueFiles;
    int ends = 0;
    WindowSwitcher windows{{random, clock, dialogs, media, cueFiles, [](QWidget*) {}, [this] { ++ends; }}};

    explicit Program(std::vector<std::string> soundFolders) : cueFiles(std::move(soundFolders)) {}

    MainWindow* WaitForActivation()
    {
        if (!QTest::qWaitFor([&] {
                return windows.CurrentMainWindow() && windows.CurrentMainWindow()->State().ShotsPerExperiment == 5;
            }))
            return nullptr;
        return windows.CurrentMainWindow();
    }

    MainWindow* RoundTripThroughHelp()
    {
        windows.CurrentMainWindow()->findChild<QPushButton*>("Command6")->click();
        FlushDeletes();
        windows.CurrentHelpWindow()->findChild<QPushButton*>("Command1")->click();
        FlushDeletes();
        return WaitForActivation();
    }
};

// The labels tell exactly the story of `shots` shots at N = 5 since the last reset.
void CheckLabels(MainWindow* window, int shots)
{
    const ExperimentState& state = window->State();
    const int experiments = shots / 5;
    QCOMPARE(state.Successes + state.Failures, experiments);
    QCOMPARE(Text(window, "Label11"), QString::number(experiments));
    QCOMPARE(Text(window, "Label13"), QString::number(state.Successes));
    QCOMPARE(Text(window, "Label4"), QString::number((shots - 1) % 5 + 1));
    QCOMPARE(Text(window, "Label2"), QString::number(state.Hits));
    if (experiments > 0)
        QCOMPARE(Text(window, "Label5"),
                 QString::fromStdString(FormatProbability(double(state.Successes) / experiments)));
}

}  // namespace

class TestSoak : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InstallFontSubstitutes(); }

    void aClassroomDay()
    {
        Program program({QCoreApplication::applicationDirPath().toStdString()});
        program.windows.ShowMainWindow();
        MainWindow* window = program.WaitForActivation();
        QVERIFY(window);
        const int widgetsPerMainWindow = int(QApplication::allWidgets().size());

        double residentAfterWarmUp = 0;
        constexpr int kRounds = 200, kShotsPerRound = 250;
        for (int round = 0; round < kRounds; ++round) {
            FireAutomatically(window, kShotsPerRound);
            CheckLabels(window, kShotsPerRound);
            QCoreApplication::processEvents();  // let the window paint

            window->findChild<QPushButton*>("Command5")->click();  // Reset
            QCOMPARE(window->State().ShotNumber, std::int16_t{0});
            QVERIFY(Text(window, "Label11").isEmpty());

            window = program.RoundTripThroughHelp();
            QVERIFY(window);
            QCOMPARE(int(QApplication::allWidgets().size()), widgetsPerMainWindow);
            QCOMPARE(QApplication::topLevelWidgets().size(), 1);
            QCOMPARE(window->findChildren<MMControl*>().size(), 1);
            if (round == 19)
                residentAfterWarmUp = ResidentMiB();
        }
        const double growth = ResidentMiB() - residentAfterWarmUp;
        qInfo("resident memory after warm-up %.1f MiB, growth over the rest %.2f MiB", residentAfterWarmUp, growth);
#if !defined(__SANITIZE_ADDRESS__)
        // AddressSanitizer keeps freed memory in quarantine, so there only its leak check counts.
        QVERIFY2(growth < 2.0, qPrintable(QString("grew by %1 MiB").arg(growth)));
#endif
        QVERIFY(program.media.LoadedSounds() <= 4);
        QVERIFY(program.media.children().isEmpty());
        QCOMPARE(program.ends, 0);
        QCOMPARE(program.dialogs.notices, 0);
    }

    // A text file named like a cue, a truncated header, a missing file and a folder in place of
    // a file: no sound, but the experiment runs on and every result is right.
    void brokenCueFiles()
    {
        QTemporaryDir dir;
        auto write = [&](const char* name, const QByteArray& bytes) {
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        };
        write("Chimes.wav", "this is not a wave file\n");
        write("Chimes2.wav", QByteArray("RIFF\x10\0\0\0WAVEfmt ", 16));
        QVERIFY(QDir(dir.path()).mkdir("pinpon.wav"));
        Program program({dir.path().toStdString()});
        program.windows.ShowMainWindow();
        MainWindow* window = program.WaitForActivation();
        QVERIFY(window);
        FireAutomatically(window, 23);
        CheckLabels(window, 23);
        window->findChild<QPushButton*>("Command4")->click();  // Quit, answered No
        window->findChild<QPushButton*>("Command5")->click();  // Reset
        for (int shot = 1; shot <= 7; ++shot)
            window->findChild<QPushButton*>("Command1")->click();
        CheckLabels(window, 7);
        QCOMPARE(program.media.LoadedSounds(), std::size_t{0});
        QCOMPARE(window->Device()->CurrentState(), MMControl::State::Closed);
    }
};

QTEST_MAIN(TestSoak)
#include "test_soak.moc"
