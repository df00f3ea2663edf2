// Cues played through the program's sound output into a real PulseAudio server whose only output
// is a pipe: the test reads what arrives there and counts the bursts of sound. Every cue must
// arrive at full length, a cue that cuts off the one before must still sound, and after the
// sound server is restarted the cues must come back.

#include <QtTest>

#include <QTemporaryDir>

#include "desktop/audio_module.h"
#include "program/device_control.h"
#include "pulse_recorder.h"

using namespace mokopera;
using namespace mokopera::testing;

class TestSoundServer : public QObject {
    Q_OBJECT

private slots:
    void everyCueArrives()
    {
        if (QStandardPaths::findExecutable("pulseaudio").isEmpty())
            QSKIP("PulseAudio is not installed");
        QTemporaryDir folder;
        SoundServer server(folder.path());
        QVERIFY(server.Start());
        qputenv("PULSE_SERVER", ("unix:" + server.Socket()).toLocal8Bit());
        // Each step: a cue (a verdict cue with a 'v' in front of its file), or "restart" (the server
        // goes away, a cue comes while it is gone, the server comes back: Qt's sound layer connects
        // again a few seconds later), and the pause after it in ms. Then the bursts that must arrive,
        // each at least that many seconds long.
        const std::pair<std::vector<std::pair<const char*, int>>, std::vector<double>> rows[] = {
            {{{"vChimes.wav", 1300}, {"vChimes2.wav", 1300}, {"vChimes.wav", 1300}, {"vChimes2.wav", 1300},
              {"pinpon.wav", 1600}, {"pinpon.wav", 1600}, {"endpinpon.wav", 1900}},  // verdicts, Reset, HELP, Quit
             {0.85, 0.85, 0.85, 0.85, 1.15, 1.15, 1.4}},
            {{{"vChimes.wav", 500}, {"vChimes2.wav", 500}, {"vChimes.wav", 500}, {"vChimes2.wav", 500},
              {"vChimes.wav", 1300}},  // automatic firing at N = 5: a verdict every half second cuts the one before
             {2.8}},
            {{{"pinpon.wav", 1500}, {"restart", 4000}, {"vChimes.wav", 1300}, {"endpinpon.wav", 1900}}, {1.15, 0.85, 1.4}},
        };
        const std::string bin = QCoreApplication::applicationDirPath().toStdString();
        for (const auto& [steps, minimumSeconds] : rows) {
            const std::size_t start = server.Recording().size();
            AudioModule media(bin + "/mokopera-audio.so", CueFileLocator({bin}));
            DeviceControl control(media);
            for (const auto& [cue, pauseMs] : steps) {
                if (QByteArray(cue) == "restart") {
                    server.Stop();
                    PlayVerdictCue(control, "Chimes2.wav");  // lost: there is no server to play it
                    QVERIFY(server.Start());
                } else if (cue[0] == 'v') {
                    PlayVerdictCue(control, cue + 1);
                } else {
                    PlayCue(control, cue);
                }
                QTest::qWait(pauseMs);
            }
            const std::vector<double> bursts = Bursts(server.Recording(start));
            QString found;
            for (double seconds : bursts)
                found += QString::number(seconds) + " s; ";
            QVERIFY2(bursts.size() == minimumSeconds.size(), qPrintable("bursts: " + found));
            for (std::size_t i = 0; i < bursts.size(); ++i)
                QVERIFY2(bursts[i] >= minimumSeconds[i], qPrintable("bursts: " + found));
        }
    }
};

QTEST_MAIN(TestSoundServer)
#include "test_sound_server.moc"
