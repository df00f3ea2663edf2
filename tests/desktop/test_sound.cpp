// The desktop's sound output: the module that is loaded on first use, and the Qt backend without
// a sound device, with good, missing and broken cue files, found in their folders in order.

#include <QtTest>

#include <QTemporaryDir>

#include "desktop/audio_module.h"
#include "program/device_control.h"

using namespace mokopera;

class TestSound : public QObject {
    Q_OBJECT

private slots:
    // Without its module the program's cues are silent, and nothing fails.
    void audioModuleLoadsOnFirstUse()
    {
        const QString bin = QCoreApplication::applicationDirPath();
        for (const auto& [module, loads] : {std::pair{"/mokopera-audio.so", true}, {"/no-such-module.so", false}, {"/Chimes.wav", false}}) {
            AudioModule media((bin + module).toStdString(), CueFileLocator({bin.toStdString()}));
            DeviceControl control(media);
            PlayCue(control, "pinpon.wav");
            QCOMPARE(control.CurrentState() != DeviceControl::State::Closed, loads);
            QCOMPARE(media.Load(), loads);
        }
    }

    // Whatever audio this machine has (none on a build server): good, missing and broken files (a
    // text named like a cue, a truncated header, a folder in place of a file, passed over for the
    // next folder's file) and names that are not bare file names. Every call returns, nothing
    // crashes, a cue that cannot be played only stays silent.
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
        AudioModule media((bin + "/mokopera-audio.so").toStdString(), CueFileLocator({dir.path().toStdString(), bin.toStdString()}));
        DeviceControl control(media);
        for (const char* name : {"Chimes.wav", "Chimes2.wav", "endpinpon.wav", "missing.wav", "", "..", "../bin/pinpon.wav", "pinpon.wav"}) {
            PlayCue(control, name);
            QTest::qWait(50);
            PlayVerdictCue(control, name);
            QCOMPARE(control.CurrentState() == DeviceControl::State::Sounding, QByteArray(name).endsWith("pinpon.wav") && name[0] != '.');
        }
    }
};

QTEST_MAIN(TestSound)
#include "test_sound.moc"
