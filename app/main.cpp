// Start-up of the desktop program: the real platform services, the program, its main window.

#include <QApplication>
#include <QFileInfo>
#include <QTimer>
#include <random>

#include "desktop/audio_module.h"
#include "desktop/fonts.h"
#include "desktop/qt_screens.h"
#include "program/program.h"

int main(int /*argc*/, char** argv)
{
    // The program takes no command line: every argument is ignored, Qt's own (-platform,
    // -stylesheet, -reverse …) too.
    int noArguments = 1;
    QApplication app(noArguments, argv);
    QApplication::setApplicationName("mokopera");
    QApplication::setDesktopFileName("io.github.mokopera.Mokopera");
    // The program ends by its own decision (Quit, the entry's quit question, a close box), never
    // just because the main window is briefly gone on the way to the help window.
    QApplication::setQuitOnLastWindowClosed(false);
    mokopera::InstallFontSubstitutes();

    std::random_device entropy;
    mokopera::MixingRandomSource random((std::uint64_t{entropy()} << 32U) | entropy());
    mokopera::SystemClock clock;
    // The sound output and the cues: beside the program (a build), else where they are installed.
    const QString programDir = QApplication::applicationDirPath();
    const QString besideProgram = programDir + "/mokopera-audio.so";
    mokopera::AudioModule media(
        (QFileInfo::exists(besideProgram) ? besideProgram : programDir + "/" MOKOPERA_AUDIO_FROM_BIN).toStdString(),
        mokopera::CueFileLocator(
            {programDir.toStdString(), (programDir + "/" MOKOPERA_SOUNDS_FROM_BIN).toStdString()}));

    mokopera::QtScreens screens([] { QApplication::exit(0); });
    mokopera::ExperimentState record;
    mokopera::Program program({screens, screens, media, random, clock}, record);
    screens.Attach(program);
    program.Start();
    // The sound output comes up on an idle moment once the entry box is there, so that the first
    // cue starts at once and the start is not held up by it.
    QTimer::singleShot(300, [&media] { media.Load(); });
    return QApplication::exec();
}
