// The desktop's sound output: finding the cue files, the module that is loaded on first use, and
// the Qt backend without a sound device, with good, missing and broken files.

#include <QtTest>

#include <QFile>
#include <QTemporaryDir>

#include "desktop/audio_module.h"
#include "program/device_control.h"
#include "simulation/texts.h"

using namespace mokopera;

class TestSound : public QObject {
    Q_OBJECT

private slots:
    void locatorSearchesFoldersInOrder()
    {
        QTemporaryDir first, second;
        QFile(second.filePath("a.wav")).open(QIODevice::WriteOnly);
        QFile(first.filePath("b.wav")).open(QIODevice::WriteOnly);
        QFile(second.filePath("b.wav")).open(QIODevice::WriteOnly);
        const CueFileLocator locator({first.path().toStdString(), second.path().toStdString()});
        QCOMPARE(QString::fromStdString(locator.Find("a.wav").value()), second.filePath("a.wav"));
        QCOMPARE(QString::fromStdString(locator.Find("b.wav").value()), first.filePath("b.wav"));
        QVERIFY(!locator.Find("c.wav"));
        QVERIFY(!locator.Find(""));
        QVERIFY(!locator.Find(".."));
        QVERIFY(!locator.Find("sub/a.wav"));
    }

    // The program's sound output is a module loaded on first use; without it every cue is silent
    // and nothing fails.
    void audioModuleLoadsOnFirstUse_data()
    {
        QTest::addColumn<QString>("module");
        QTest::addColumn<bool>("loads");
        QTest::newRow("the built module") << QCoreApplication::applicationDirPath() + "/mokopera-audio.so" << true;
        QTest::newRow("no module there") << QCoreApplication::applicationDirPath() + "/no-such-module.so" << false;
        QTest::newRow("not a module") << QCoreApplication::applicationDirPath() + "/Chimes.wav" << false;
    }

    void audioModuleLoadsOnFirstUse()
    {
        QFETCH(QString, module);
        QFETCH(bool, loads);
        AudioModule media(module.toStdString(), CueFileLocator({QCoreApplication::applicationDirPath().toStdString()}));
        DeviceControl control(media);
        PlayCue(control, texts::kButtonCue);
        QCOMPARE(control.CurrentState() != DeviceControl::State::Closed, loads);
        QCOMPARE(media.Load(), loads);
        control.SetCommand("Close");
    }

    // The real sound output, whatever audio this machine has (none on a build server), with
    // good, missing and broken files: a text named like a cue, a truncated header, a folder in
    // place of a file (passed over for the next folder's file). Every call returns, nothing
    // crashes, a broken cue only stays silent.
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
        AudioModule media((bin + "/mokopera-audio.so").toStdString(),
                          CueFileLocator({dir.path().toStdString(), bin.toStdString()}));
        DeviceControl control(media);
        for (const char* name : {"Chimes.wav", "Chimes2.wav", "endpinpon.wav", "missing.wav", "pinpon.wav"}) {
            PlayCue(control, name);
            QTest::qWait(50);
            PlayVerdictCue(control, name);
            QCOMPARE(control.CurrentState() == DeviceControl::State::Sounding, QByteArray(name).endsWith("pinpon.wav"));
        }
    }
};

QTEST_MAIN(TestSound)
#include "test_sound.moc"
