// Pictures of the desktop windows that the web page is compared with (tests/web): the main
// window with N = 20 entered, its ring and the marks given on the command line, and the help
// window with its text. window_snapshot OUT_FOLDER [X,Y,COLOUR ...] writes main.png and help.png.

#include <QDir>
#include <QImage>

#include "desktop/help_widget.h"
#include "desktop/target_canvas.h"
#include "desktop_harness.h"

using namespace mokopera;

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InstallFontSubstitutes();
    if (argc < 2) {
        qWarning("usage: window_snapshot OUT_FOLDER [X,Y,COLOUR ...]");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    testing::Desktop desktop;
    MainWidget* main = desktop.Start("20");
    for (int i = 2; i < argc; ++i) {
        const QStringList mark = QString::fromLocal8Bit(argv[i]).split(',');
        main->Canvas()->DrawMark(mark.value(0).toFloat(), mark.value(1).toFloat(),
                                 static_cast<ConsoleColour>(mark.value(2).toInt()));
    }
    QCoreApplication::processEvents();
    if (!main->grab().save(out.filePath("main.png")))
        return 1;
    desktop.Click(6);
    HelpWidget* help = nullptr;
    (void)QTest::qWaitFor(
        [&] {
            help = desktop.screens.CurrentHelpWidget();
            return help && help->Canvas()->PrintedLines().size() == 25;
        },
        5000);
    QCoreApplication::processEvents();
    return help && help->grab().save(out.filePath("help.png")) ? 0 : 1;
}
