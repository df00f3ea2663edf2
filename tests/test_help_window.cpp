// The help window, its printed text, and the way there and back to a fresh main window.

#include <QtTest>

#include <QLabel>
#include <QPushButton>

#include "helpwindow/help_text.h"
#include "mainwindow/target_canvas.h"
#include "window_harness.h"

using namespace mokopera;
using namespace mokopera::testing;

namespace {

int Indent(const QString& line)
{
    int spaces = 0;
    while (spaces < line.size() && line[spaces] == QChar(0x3000))
        ++spaces;
    return spaces;
}

// A switcher over scripted services; ending the program is counted, not done.
struct Program {
    Harness harness;
    int ends = 0;
    WindowSwitcher windows{{harness.random, harness.clock, harness.dialogs, harness.media, harness.cueFiles,
                            [](QWidget*) {}, [this] { ++ends; }}};

    MainWindow* StartMainWindow(const char* entry)
    {
        const auto asked = harness.dialogs.asked.size();
        harness.dialogs.inputs = {entry};
        windows.ShowMainWindow();
        if (!QTest::qWaitFor([&] { return harness.dialogs.asked.size() > asked; }))
            return nullptr;
        return windows.CurrentMainWindow();
    }
};

void FlushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace

class TestHelpWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InstallFontSubstitutes(); }

    void helpText_data()
    {
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("indent");
        QTest::addColumn<QString>("start");
        QTest::newRow("1 blank") << 1 << 0 << "";
        QTest::newRow("2 heading") << 2 << 1 << "【問　　題】";
        QTest::newRow("3 sentence") << 3 << 8 << "みなさんは";
        QTest::newRow("6 continues") << 6 << 7 << "全てはずれる";
        QTest::newRow("10 blank") << 10 << 0 << "";
        QTest::newRow("11 heading") << 11 << 1 << "【実験の考え方】";
        QTest::newRow("14 full-width digits") << 14 << 8 << "２０回のうち";
        QTest::newRow("16 continues") << 16 << 7 << "ます。";
        QTest::newRow("17 blank") << 17 << 0 << "";
        QTest::newRow("18 heading") << 18 << 1 << "【操作方法】";
        QTest::newRow("19 bullet") << 19 << 7 << "■理論上";
        QTest::newRow("21 continues") << 21 << 7 << "し［ＯＫ］";
        QTest::newRow("25 last") << 25 << 8 << "［初期化］ボタン";
    }

    void helpText()
    {
        QFETCH(int, line);
        QFETCH(int, indent);
        QFETCH(QString, start);
        const QStringList lines = HelpLines();
        QCOMPARE(lines.size(), 25);
        const QString text = lines[line - 1];
        QCOMPARE(Indent(text), indent);
        QVERIFY2(text.mid(indent).startsWith(start), qPrintable(text));
        if (start.isEmpty())
            QVERIFY(text.isEmpty());
    }

    void printedOnceEachTimeShown()
    {
        HelpWindow help;
        help.show();
        QCOMPARE(help.Canvas()->PrintedLines(), HelpLines());
        const QImage first = help.Canvas()->Image().copy();
        help.hide();
        help.show();
        QCOMPARE(help.Canvas()->PrintedLines(), HelpLines());
        QCOMPARE(help.Canvas()->Image(), first);
        QVERIFY(help.findChild<QPushButton*>("Command1")->hasFocus() || !help.isActiveWindow());
    }

    // No line is cut at the right edge: the few wider than the canvas are narrowed, and only a
    // little, so that they still read as the same font. The indent stays whole: the text of every
    // line starts at the full width of its ideographic spaces, narrowed or not.
    void everyLineFitsAndKeepsItsIndent()
    {
        HelpWindow help;
        help.show();
        const QFontMetricsF metrics(help.Canvas()->font());
        const int pitch = QFontMetrics(help.Canvas()->font()).height();
        const QImage& image = help.Canvas()->Image();
        QVERIFY(25 * pitch <= image.height());
        bool inkNearEdge = false;
        const QStringList lines = HelpLines();
        for (int i = 0; i < lines.size(); ++i) {
            int left = image.width(), right = -1;
            for (int y = i * pitch; y < (i + 1) * pitch; ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (qGray(image.pixel(x, y)) < 128) {
                        left = std::min(left, x);
                        right = std::max(right, x);
                    }
            inkNearEdge |= right >= image.width() - 12;
            QCOMPARE(right < 0, lines[i].isEmpty());
            const qreal indent = metrics.horizontalAdvance(QString(Indent(lines[i]), QChar(0x3000)));
            QVERIFY2(left >= int(indent) - 1, qPrintable(QString("line %1 starts at %2, its indent is %3 px")
                                                          .arg(i + 1).arg(left).arg(indent)));
            QVERIFY2(help.Canvas()->FitScale(lines[i]) > 0.94, qPrintable(lines[i]));
        }
        QVERIFY(inkNearEdge);  // the long lines reach the right edge, but no further
    }

    // HELP plays its cue, the main window goes with everything it showed, and Close brings a
    // fresh one back that asks for N again. Twice, without doubling the help text.
    void roundTrips()
    {
        Program program;
        MainWindow* main = program.StartMainWindow("5");
        QVERIFY(main);
        for (int shot = 0; shot < 7; ++shot)
            main->findChild<QPushButton*>("Command1")->click();
        QPointer<MainWindow> first = main;

        for (int trip = 0; trip < 2; ++trip) {
            program.harness.media.log.clear();
            program.windows.CurrentMainWindow()->findChild<QPushButton*>("Command6")->click();
            QCOMPARE(program.harness.media.log, (QStringList{"stop", "close", "open pinpon.wav", "play"}).mid(trip == 0 ? 0 : 2));
            QVERIFY(!program.windows.CurrentMainWindow());
            HelpWindow* help = program.windows.CurrentHelpWindow();
            QVERIFY(help && help->isVisible());
            QCOMPARE(help->Canvas()->PrintedLines().size(), 25);
            FlushDeletes();
            QCOMPARE(QApplication::topLevelWidgets().size(), 1);

            const auto asked = program.harness.dialogs.asked.size();
            program.harness.dialogs.inputs = {"20"};
            help->findChild<QPushButton*>("Command1")->click();
            QTRY_COMPARE(program.harness.dialogs.asked.size(), asked + 1);
            QCOMPARE(program.harness.dialogs.asked.back(), std::string("input 鉄砲の発射回数の設定 20"));
            FlushDeletes();
            QVERIFY(!program.windows.CurrentHelpWindow());

            MainWindow* fresh = program.windows.CurrentMainWindow();
            QVERIFY(fresh && fresh->isVisible());
            QCOMPARE(int{fresh->State().Successes} + fresh->State().Failures + fresh->State().ShotNumber, 0);
            for (const char* name : {"Label2", "Label4", "Label5", "Label9", "Label11", "Label13"})
                QVERIFY(fresh->findChild<QLabel*>(name)->text().isEmpty());
            QCOMPARE(fresh->findChild<QLabel*>("Label15")->text(), QString("0.8784233"));
            QVERIFY(!fresh->findChild<QPushButton*>("Command3")->isEnabled());
            QVERIFY(!fresh->findChild<QPushButton*>("Command5")->isEnabled());
            QCOMPARE(QApplication::topLevelWidgets().size(), 1);
            TargetCanvas ringOnly;
            ExperimentState scratch;
            ringOnly.DrawTargetRing(scratch);
            QCOMPARE(fresh->Canvas()->Image(), ringOnly.Image());
        }
        QVERIFY(!first);  // the first main window was destroyed
        QCOMPARE(program.ends, 0);
    }

    // Three clicks that arrive before the first one's window has gone: the first one counts, the
    // window that is unloading takes no more. One cue, one help window, one fresh main window.
    void impatientTripleClicks()
    {
        Program program;
        QVERIFY(program.StartMainWindow("5"));
        QPushButton* help = program.windows.CurrentMainWindow()->findChild<QPushButton*>("Command6");
        program.harness.media.log.clear();
        for (int click = 0; click < 3; ++click)
            QTest::mouseClick(help, Qt::LeftButton);
        QCOMPARE(program.harness.media.log.count("play"), 1);
        FlushDeletes();
        QCOMPARE(QApplication::topLevelWidgets().size(), 1);
        QVERIFY(program.windows.CurrentHelpWindow());

        const auto asked = program.harness.dialogs.asked.size();
        program.harness.dialogs.inputs = {"5"};
        QPushButton* close = program.windows.CurrentHelpWindow()->findChild<QPushButton*>("Command1");
        for (int click = 0; click < 3; ++click)
            QTest::mouseClick(close, Qt::LeftButton);
        QTRY_COMPARE(program.harness.dialogs.asked.size(), asked + 1);
        QTest::qWait(50);
        FlushDeletes();
        QCOMPARE(program.harness.dialogs.asked.size(), asked + 1);
        QCOMPARE(QApplication::topLevelWidgets().size(), 1);
        QCOMPARE(program.ends, 0);
    }

    void closeBoxOfTheHelpWindowEnds()
    {
        Program program;
        QVERIFY(program.StartMainWindow("5"));
        program.windows.CurrentMainWindow()->findChild<QPushButton*>("Command6")->click();
        program.windows.CurrentHelpWindow()->close();
        QCOMPARE(program.ends, 1);
        QVERIFY(!program.windows.CurrentMainWindow());
    }
};

QTEST_MAIN(TestHelpWindow)
#include "test_help_window.moc"
