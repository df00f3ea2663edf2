// The desktop's sound output: the module that is loaded on first use, the Qt backend without a
// sound device, with good, missing and broken cue files found in their folders in order, and a
// real sound server.

#include <QtTest>

#include <QTemporaryDir>

#include "desktop/audio_module.h"
#include "program/device_control.h"
#include "pulse_recorder.h"

using namespace mokopera;
using namespace mokopera::testing;

class TestSound : public QObject {
    Q_OBJECT

    QTemporaryDir folder_;
    std::unique_ptr<SoundServer> server_;

private slots:
    // Qt's sound layer finds its server once, at first use: the test's own, if PulseAudio is here.
    void initTestCase()
    {
        if (QStandardPaths::findExecutable("pulseaudio").isEmpty())
            return;
        server_ = std::make_unique<SoundServer>(folder_.path());
        QVERIFY(server_->Start());
        qputenv("PULSE_SERVER", ("unix:" + server_->Socket()).toLocal8Bit());
    }

    // Whatever audio this machine has (none on a build server): good, missing and broken files (a
    // text named like a cue, a truncated header, a folder in place of a file, passed over for the
    // next folder's file) and names that are not bare file names, with the sound module loaded on
    // first use, missing, or not a module at all. Every call returns, nothing crashes, a cue that
    // cannot be played only stays silent.
    void cuesWithBrokenFiles()
    {
        QTemporaryDir dir;
        auto write = [&](const char* name, const QByteArray& bytes) {
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        };
        write("Chimes.wav", "this is not a wave file\n");
        write("Chimes2.wav", QByteArray("RIFF\x10\0\0\0WAVEfmt ", 16));
        QVERIFY(QDir(dir.path()).mkdir("endpinpon.wav"));
        const QString bin = QCoreApplication::applicationDirPath();
        for (const char* module : {"/mokopera-audio.so", "/no-such-module.so", "/Chimes.wav"}) {
            const bool loads = QByteArray(module) == "/mokopera-audio.so";
            AudioModule media((bin + module).toStdString(),
                              CueFileLocator({dir.path().toStdString(), bin.toStdString()}));
            DeviceControl control(media);
            for (const char* name : {"Chimes.wav", "Chimes2.wav", "endpinpon.wav", "missing.wav", "", "..",
                                     "../bin/pinpon.wav", "pinpon.wav"}) {
                PlayCue(control, name);
                QTest::qWait(50);
                PlayVerdictCue(control, name);
                QCOMPARE(control.CurrentState() == DeviceControl::State::Sounding,
                         loads && QByteArray(name).endsWith("pinpon.wav") && name[0] != '.');
            }
            QCOMPARE(media.Load(), loads);
        }
    }

    // Cues played into a real PulseAudio server whose only output is a pipe: the test reads what
    // arrives there and counts the bursts of sound. Every cue must arrive at full length, a cue
    // that cuts off the one before must still sound, and after the sound server is restarted the
    // cues must come back.
    void everyCueArrives()
    {
        if (!server_)
            QSKIP("PulseAudio is not installed");
        SoundServer& server = *server_;
        QTest::qWait(1500);  // the cues of the tests before have died away
        // Each step: a cue (a verdict cue with a 'v' in front of its file), or "restart" (the server
        // goes away, a cue comes while it is gone, the server comes back: Qt's sound layer connects
        // again a few seconds later), and the pause after it in ms. Then the bursts that must arrive,
        // each at least that many seconds long, and the quiet in ms that ends a burst. A cue cut off
        // by the next one leaves no quiet of its own; the new stream's start may, by a few event-loop
        // turns on a busy machine, so the cut-off row lets a short gap pass and catches only a silent
        // cue (half a second of quiet); its 2.9 s of sound may lose the first stream's start. The
        // other rows leave half a second of quiet between cues.
        // clang-format off
        const std::tuple<std::vector<std::pair<const char*, int>>, std::vector<double>, int> rows[] = {
            {{{"vChimes.wav", 1500}, {"vChimes2.wav", 1500}, {"vChimes.wav", 1500}, {"vChimes2.wav", 1500},
              {"pinpon.wav", 1800}, {"pinpon.wav", 1800}, {"endpinpon.wav", 1900}},  // verdicts, Reset, HELP, Quit
             {0.85, 0.85, 0.85, 0.85, 1.15, 1.15, 1.4}, 150},
            {{{"vChimes.wav", 500}, {"vChimes2.wav", 500}, {"vChimes.wav", 500}, {"vChimes2.wav", 500},
              {"vChimes.wav", 1300}},  // automatic firing at N = 5: a verdict every half second cuts the one before
             {2.4}, 400},
            {{{"pinpon.wav", 1700}, {"restart", 5000}, {"vChimes.wav", 1500}, {"endpinpon.wav", 1900}}, {1.15, 0.85, 1.4}, 150},
        };
        // clang-format on
        const std::string bin = QCoreApplication::applicationDirPath().toStdString();
        for (const auto& [steps, minimumSeconds, quietMs] : rows) {
            const std::size_t start = server.Recording().size();
            AudioModule media(bin + "/mokopera-audio.so", CueFileLocator({bin}));
            DeviceControl control(media);
            for (const auto& [cue, pauseMs] : steps) {
                if (QByteArray(cue) == "restart") {
                    server.Stop();
                    // The cue comes once the sound layer has seen the server go. Qt 6.4's PulseAudio
                    // output waits for good on a stream opened in the very instant the server dies.
                    QTest::qWait(300);
                    PlayVerdictCue(control, "Chimes2.wav");  // lost: there is no server to play it
                    QVERIFY(server.Start());
                } else if (cue[0] == 'v') {
                    PlayVerdictCue(control, cue + 1);
                } else {
                    PlayCue(control, cue);
                }
                QTest::qWait(pauseMs);
            }
            const std::vector<double> bursts = Bursts(server.Recording(start), quietMs);
            QString found;
            for (double seconds : bursts)
                found += QString::number(seconds) + " s; ";
            QVERIFY2(bursts.size() == minimumSeconds.size(), qPrintable("bursts: " + found));
            for (std::size_t i = 0; i < bursts.size(); ++i)
                QVERIFY2(bursts[i] >= minimumSeconds[i], qPrintable("bursts: " + found));
        }
    }
};

QTEST_MAIN(TestSound)
#include "test_sound.moc"
