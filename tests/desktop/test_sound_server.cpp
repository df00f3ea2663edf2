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

// One step of a scenario: a cue (a button cue, or a verdict cue with a 'v' in front of the file
// name), or "restart" (the server goes away, a cue comes while it is gone, the server comes
// back), and the pause after it, in milliseconds.
struct Step {
    const char* cue;
    int pauseMs;
};

}  // namespace

Q_DECLARE_METATYPE(QList<Step>)
Q_DECLARE_METATYPE(std::vector<double>)

class TestSoundServer : public QObject {
    Q_OBJECT

    QTemporaryDir folder_;
    std::unique_ptr<SoundServer> server_;

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable("pulseaudio").isEmpty())
            QSKIP("PulseAudio is not installed");
        server_ = std::make_unique<SoundServer>(folder_.path());
        QVERIFY(server_->Start());
        qputenv("PULSE_SERVER", ("unix:" + server_->Socket()).toLocal8Bit());
    }

    void cleanupTestCase() { server_.reset(); }

    // Every entry of `minimumSeconds` is one burst that must arrive, at least that long.
    void everyCueArrives_data()
    {
        QTest::addColumn<QList<Step>>("steps");
        QTest::addColumn<std::vector<double>>("minimumSeconds");
        QTest::newRow("verdicts by hand, Reset, HELP and Quit")
            << QList<Step>{{"vChimes.wav", 1300}, {"vChimes2.wav", 1300}, {"vChimes.wav", 1300},
                           {"vChimes2.wav", 1300}, {"pinpon.wav", 1600}, {"pinpon.wav", 1600},
                           {"endpinpon.wav", 1900}}
            << std::vector<double>{0.85, 0.85, 0.85, 0.85, 1.15, 1.15, 1.4};
        // Automatic firing at N = 5: a verdict every half second, each cut off by the next.
        QTest::newRow("verdicts every half second sound throughout")
            << QList<Step>{{"vChimes.wav", 500}, {"vChimes2.wav", 500}, {"vChimes.wav", 500},
                           {"vChimes2.wav", 500}, {"vChimes.wav", 1300}}
            << std::vector<double>{2.8};
        // Qt's sound layer reconnects a few seconds after it has lost the server.
        QTest::newRow("cues come back after the server restarts")
            << QList<Step>{{"pinpon.wav", 1500}, {"restart", 4000}, {"vChimes.wav", 1300}, {"endpinpon.wav", 1900}}
            << std::vector<double>{1.15, 0.85, 1.4};
    }

    void everyCueArrives()
    {
        QFETCH(QList<Step>, steps);
        QFETCH(std::vector<double>, minimumSeconds);
        const std::size_t start = server_->Recording().size();
        const std::string bin = QCoreApplication::applicationDirPath().toStdString();
        AudioModule media(bin + "/mokopera-audio.so", CueFileLocator({bin}));
        DeviceControl control(media);
        for (const Step& step : steps) {
            if (QByteArray(step.cue) == "restart") {
                server_->Stop();
                PlayVerdictCue(control, texts::kFailureCue);  // lost: there is no server to play it
                QVERIFY(server_->Start());
            } else if (step.cue[0] == 'v') {
                PlayVerdictCue(control, step.cue + 1);
            } else {
                PlayCue(control, step.cue);
            }
            QTest::qWait(step.pauseMs);
        }
        const std::vector<double> bursts = Bursts(server_->Recording(start));
        QString found;
        for (double seconds : bursts)
            found += QString::number(seconds) + " s; ";
        QVERIFY2(bursts.size() == minimumSeconds.size(), qPrintable("bursts: " + found));
        for (std::size_t i = 0; i < bursts.size(); ++i)
            QVERIFY2(bursts[i] >= minimumSeconds[i], qPrintable("bursts: " + found));
    }
};

QTEST_MAIN(TestSoundServer)
#include "test_sound_server.moc"
