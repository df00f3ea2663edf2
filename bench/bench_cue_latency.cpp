// How soon a cue starts, on a real sound server: a private PulseAudio server (its output a pipe)
// and the sound output the program uses, loaded as a module. A cue's commands return once its
// stream is connected and taking samples, so their time is the delay from the command to the
// start of the sound, the server's own buffering aside. Measured cold (the first cue loads the
// module and connects to the server), warm (loaded on an idle moment before, as the program
// does), and for later cues.
//   bench_cue_latency cold|warm     (one process each, so that nothing is loaded before)

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

#include "../tests/desktop/pulse_recorder.h"
#include "desktop/audio_module.h"
#include "program/device_control.h"

using namespace mokopera;
using namespace mokopera::testing;

namespace {

double Milliseconds(const std::function<void()>& command)
{
    QElapsedTimer clock;
    clock.start();
    command();
    return clock.nsecsElapsed() / 1e6;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    SoundServer server(folder.path());
    if (!server.Start()) {
        std::fprintf(stderr, "cannot start PulseAudio\n");
        return 1;
    }
    qputenv("PULSE_SERVER", ("unix:" + server.Socket()).toLocal8Bit());
    const QString bin = QCoreApplication::applicationDirPath();

    const bool warm = argc > 1 && QByteArray(argv[1]) == "warm";
    {
        AudioModule media((bin + "/mokopera-audio.so").toStdString(), CueFileLocator({bin.toStdString()}));
        DeviceControl control(media);
        double loading = 0;
        if (warm) {
            loading = Milliseconds([&] { media.Load(); });
            QTest::qWait(300);
        }
        const double first = Milliseconds([&] { PlayCue(control, "pinpon.wav"); });
        QTest::qWait(500);
        std::vector<double> later;
        for (int i = 0; i < 20; ++i) {
            later.push_back(Milliseconds([&] { PlayVerdictCue(control, i % 2 ? "Chimes.wav" : "Chimes2.wav"); }));
            QTest::qWait(300);
        }
        std::sort(later.begin(), later.end());
        std::printf("%s: first cue started after %.1f ms%s; later cues median %.1f ms, max %.1f ms\n",
                    warm ? "module loaded on an idle moment" : "module loaded by the first cue", first,
                    warm ? qPrintable(QString(" (the loading before took %1 ms)").arg(loading, 0, 'f', 1)) : "",
                    later[later.size() / 2], later.back());
    }
    return 0;
}
