// Cues played through the real sound layer into a real PulseAudio server whose only output is a
// pipe: the test reads what arrives there and counts the bursts of sound. Every cue must arrive
// at full length, a cue that cuts off the one before must still sound, and after the sound
// server is restarted the cues must come back.

#include <QtTest>

#include <QTemporaryDir>

#include "desktop/audio_module.h"
#include "program/device_control.h"
#include "pulse_recorder.h"
#include "simulation/texts.h"

using namespace mokopera;
using namespace mokopera::testing;

namespace {

// The program's own sound output: the module, loaded on first use, and the generated cues.
AudioModule Output()
{
    const std::string bin = QCoreApplication::applicationDirPath().toStdString();
    return AudioModule(bin + "/mokopera-audio.so", CueFileLocator({bin}));
}

// One step of a scenario: a cue (a button cue, or a verdict cue with a 'v' in front of the file
// name) and the pause after it, in milliseconds.
struct Step {
    const char* cue;
    int pauseMs;
};

}  // namespace

Q_DECLARE_METATYPE(QList<Step>)

class TestSoundServer : public QObject {
    Q_OBJECT

    QTemporaryDir folder_;
    std::unique_ptr<SoundServer> server_;
    std::unique_ptr<Recorder> recorder_;

    // Plays the steps through one device control and returns the bursts that arrived meanwhile.
    QList<double> Play(const QList<Step>& steps)
    {
        AudioModule media = Output();
        DeviceControl control(media);
        const std::size_t start = recorder_->Size();
        for (const Step& step : steps) {
            if (step.cue[0] == 'v')
                PlayVerdictCue(control, step.cue + 1);
            else
                PlayCue(control, step.cue);
            QTest::qWait(step.pauseMs);
        }
        return Bursts(recorder_->From(start));
    }

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable("pulseaudio").isEmpty())
            QSKIP("PulseAudio is not installed");
        server_ = std::make_unique<SoundServer>(folder_.path());
        QVERIFY(server_->Start());
        qputenv("PULSE_SERVER", ("unix:" + server_->Socket()).toLocal8Bit());
        recorder_ = std::make_unique<Recorder>(server_->Fifo());
        QVERIFY(QTest::qWaitFor([&] { return recorder_->Size() > kRate / 10; }, 5000));
    }

    void cleanupTestCase()
    {
        recorder_.reset();
        server_.reset();
    }

    // Every entry of `minimumSeconds` is one burst that must arrive, at least that long.
    void everyCueArrives_data()
    {
        QTest::addColumn<QList<Step>>("steps");
        QTest::addColumn<QList<double>>("minimumSeconds");
        QTest::newRow("verdicts by hand, Reset, HELP and Quit")
            << QList<Step>{{"vChimes.wav", 1300}, {"vChimes2.wav", 1300}, {"vChimes.wav", 1300},
                           {"vChimes2.wav", 1300}, {"pinpon.wav", 1600}, {"pinpon.wav", 1600},
                           {"endpinpon.wav", 1900}}
            << QList<double>{0.85, 0.85, 0.85, 0.85, 1.15, 1.15, 1.4};
        // Automatic firing at N = 5: a verdict every half second, each cut off by the next.
        QTest::newRow("verdicts every half second sound throughout")
            << QList<Step>{{"vChimes.wav", 500}, {"vChimes2.wav", 500}, {"vChimes.wav", 500},
                           {"vChimes2.wav", 500}, {"vChimes.wav", 1300}}
            << QList<double>{2.8};
    }

    void everyCueArrives()
    {
        QFETCH(QList<Step>, steps);
        QFETCH(QList<double>, minimumSeconds);
        const QList<double> bursts = Play(steps);
        QString found;
        for (double seconds : bursts)
            found += QString::number(seconds) + " s; ";
        QVERIFY2(bursts.size() == minimumSeconds.size(), qPrintable("bursts: " + found));
        for (int i = 0; i < bursts.size(); ++i)
            QVERIFY2(bursts[i] >= minimumSeconds[i], qPrintable("bursts: " + found));
    }

    // The server goes away, a cue comes while it is gone, and the server comes back: the cues
    // after that sound again, in a device control (and a program) that played before.
    void cuesComeBackAfterTheServerRestarts()
    {
        AudioModule media = Output();
        DeviceControl control(media);
        PlayCue(control, texts::kButtonCue);
        QTest::qWait(1500);
        server_->Stop();
        PlayVerdictCue(control, texts::kFailureCue);  // lost: there is no server to play it
        QTest::qWait(500);
        QVERIFY(server_->Start());
        QTest::qWait(4000);  // Qt's sound layer reconnects a few seconds after losing the server
        const std::size_t start = recorder_->Size();
        PlayVerdictCue(control, texts::kSuccessCue);
        QTest::qWait(1300);
        PlayCue(control, texts::kQuitCue);
        QTest::qWait(1900);
        const QList<double> bursts = Bursts(recorder_->From(start));
        QCOMPARE(bursts.size(), 2);
        QVERIFY(bursts[0] >= 0.85 && bursts[1] >= 1.4);
    }
};

QTEST_MAIN(TestSoundServer)
#include "test_sound_server.moc"
