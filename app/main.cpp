// Start-up: the real platform services, then the main window.

#include <QApplication>
#include <QFileInfo>
#include <QTimer>
#include <random>

#include "helpwindow/window_switcher.h"
#include "mainwindow/fonts.h"
#include "mainwindow/qt_dialogs.h"
#include "sound/audio_module.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("mokopera");
    QApplication::setDesktopFileName("io.github.mokopera.Mokopera");
    // The program ends by its own decision (Quit, the entry's quit question, a close box), never
    // just because the main window is briefly gone on the way to the help window.
    QApplication::setQuitOnLastWindowClosed(false);
    mokopera::InstallFontSubstitutes();

    std::random_device entropy;
    mokopera::MixingRandomSource random((std::uint64_t{entropy()} << 32U) | entropy());
    mokopera::SystemClock clock;
    mokopera::QtDialogs dialogs;
    // Beside the program (a build), then the installed folders.
    const QString programDir = QApplication::applicationDirPath();
    const QString besideProgram = programDir + "/mokopera-audio.so";
    mokopera::AudioModule media(
        (QFileInfo::exists(besideProgram) ? besideProgram : programDir + "/" MOKOPERA_AUDIO_FROM_BIN).toStdString());
    const mokopera::CueFileLocator cueFiles(
        {programDir.toStdString(), (programDir + "/" MOKOPERA_SOUNDS_FROM_BIN).toStdString()});

    mokopera::WindowSwitcher windows({random, clock, dialogs, media, cueFiles,
                                      [&dialogs](QWidget* owner) { dialogs.SetOwner(owner); },
                                      [&dialogs] {
                                          dialogs.EndAll();
                                          QApplication::exit(0);
                                      }});
    windows.ShowMainWindow();
    // The sound output comes up on an idle moment once the entry box is there, so that the first
    // cue starts at once and the start is not held up by it.
    QTimer::singleShot(300, [&media] { media.Load(); });
    return QApplication::exec();
}
