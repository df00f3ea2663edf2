// The working main window: button states, the sequences, automatic firing, Quit, the limit.

#include <QtTest>

#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "core/texts.h"
#include "mainwindow/target_canvas.h"
#include "window_harness.h"

using namespace mokopera;
using namespace mokopera::testing;

namespace {

const char* const kValueLabelNames[] = {"Label2", "Label4", "Label5", "Label9", "Label11", "Label13", "Label15"};

// Fire, Auto start, Auto stop, Quit, Reset, HELP, timer: a letter when enabled, '.' when not.
QString ButtonStates(const MainWindow& window)
{
    const char letters[] = "FASQRH";
    QString states;
    for (int i = 0; i < 6; ++i)
        states += window.findChild<QPushButton*>(QString("Command%1").arg(i + 1))->isEnabled() ? QChar(letters[i]) : QChar('.');
    states += window.findChild<QTimer*>("Timer1")->isActive() ? 'T' : '.';
    return states;
}

QStringList LabelTexts(const MainWindow& window)
{
    QStringList texts;
    for (const char* name : kValueLabelNames)
        texts << window.findChild<QLabel*>(name)->text();
    return texts;
}

QString Text(const MainWindow& window, const char* label)
{
    return window.findChild<QLabel*>(label)->text();
}

void Click(MainWindow& window, int command)
{
    window.findChild<QPushButton*>(QString("Command%1").arg(command))->click();
}

// A main window, activated with N = 5, every shot a miss.
struct Fixture {
    Harness harness;
    std::unique_ptr<MainWindow> window;
    explicit Fixture(bool activate = true)
    {
        window = std::make_unique<MainWindow>(harness.Services());
        if (activate) {
            harness.dialogs.inputs = {"5"};
            window->ActivateSequence();
        }
    }
};

}  // namespace

class TestWindowFlow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InstallFontSubstitutes(); }

    void buttonStates_data()
    {
        QTest::addColumn<QStringList>("commands");
        QTest::addColumn<QString>("states");
        QTest::newRow("creation") << QStringList{} << "FASQRH.";
        QTest::newRow("activation") << QStringList{"activate"} << "FA.Q.H.";
        QTest::newRow("fire enables reset") << QStringList{"activate", "fire"} << "FA.QRH.";
        QTest::newRow("auto start") << QStringList{"activate", "autostart"} << "..S...T";
        QTest::newRow("ticks change nothing") << QStringList{"activate", "autostart", "tick", "tick"} << "..S...T";
        QTest::newRow("auto stop enables reset") << QStringList{"activate", "autostart", "autostop"} << "FA.QRH.";
        QTest::newRow("reset") << QStringList{"activate", "fire", "reset"} << "FA.Q.H.";
        QTest::newRow("quit answered No") << QStringList{"activate", "fire", "quitNo"} << "FA.QRH.";
        QTest::newRow("disabled buttons do nothing")
            << QStringList{"activate", "autostart", "fire", "reset", "autostart"} << "..S...T";
    }

    void buttonStates()
    {
        QFETCH(QStringList, commands);
        QFETCH(QString, states);
        Fixture fixture(false);
        MainWindow& window = *fixture.window;
        for (const QString& command : commands) {
            if (command == "activate") {
                fixture.harness.dialogs.inputs = {"5"};
                window.ActivateSequence();
            } else if (command == "fire") {
                Click(window, 1);
            } else if (command == "autostart") {
                Click(window, 2);
            } else if (command == "autostop") {
                Click(window, 3);
            } else if (command == "tick") {
                window.Tick();
            } else if (command == "reset") {
                fixture.harness.dialogs.inputs = {"5"};
                Click(window, 5);
            } else if (command == "quitNo") {
                fixture.harness.dialogs.replies = {kNo};
                Click(window, 4);
            }
        }
        QCOMPARE(ButtonStates(window), states);
        QCOMPARE(fixture.harness.navigator.endRequests, 0);
    }

    void activationShowsTheTheory()
    {
        Fixture fixture(false);
        fixture.harness.dialogs.onInput = [&] {
            QVERIFY(Text(*fixture.window, "Label15").isEmpty());
            QCOMPARE(ButtonStates(*fixture.window), QString("FA.Q.H."));
        };
        fixture.harness.dialogs.inputs = {"20"};
        fixture.window->ActivateSequence();
        QCOMPARE(Text(*fixture.window, "Label15"), QString("0.8784233"));
        QCOMPARE(fixture.harness.dialogs.asked, std::vector<std::string>{"input 鉄砲の発射回数の設定 20"});
    }

    // Activation runs once after the window is first shown, and never again.
    void activationRunsOncePerLoad()
    {
        Fixture fixture(false);
        fixture.harness.dialogs.inputs = {"5", "6"};
        fixture.window->show();
        QTRY_COMPARE(fixture.harness.dialogs.asked.size(), std::size_t{1});
        fixture.window->hide();
        fixture.window->show();
        fixture.window->activateWindow();
        QTest::qWait(50);
        QCOMPARE(fixture.harness.dialogs.asked.size(), std::size_t{1});
        QCOMPARE(int{fixture.window->State().ShotsPerExperiment}, 5);
    }

    // Reset: busy pointer, cue, blank canvas and labels, zero counters, buttons, target, entry,
    // theory, arrow; in that order.
    void resetOrder()
    {
        Fixture fixture;
        MainWindow& window = *fixture.window;
        for (int shot = 0; shot < 7; ++shot)
            Click(window, 1);
        QCOMPARE(Text(window, "Label11"), QString("1"));
        fixture.harness.media.log.clear();

        TargetCanvas blankWithRing;
        ExperimentState scratch;
        blankWithRing.DrawTargetRing(scratch);
        bool checked = false;
        fixture.harness.dialogs.onInput = [&] {
            checked = true;
            QCOMPARE(window.cursor().shape(), Qt::WaitCursor);
            QCOMPARE(fixture.harness.media.log, (QStringList{"stop", "close", "open pinpon.wav", "play"}));
            QCOMPARE(LabelTexts(window), QStringList(7));
            QCOMPARE(window.Canvas()->Image(), blankWithRing.Image());
            QCOMPARE(ButtonStates(window), QString("FA.Q.H."));
            QCOMPARE(int{window.State().Successes} + window.State().Failures + window.State().ShotNumber, 0);
        };
        fixture.harness.dialogs.inputs = {"10"};
        Click(window, 5);
        QVERIFY(checked);
        QCOMPARE(Text(window, "Label15"), QString("0.6513215"));
        QCOMPARE(window.cursor().shape(), Qt::ArrowCursor);
        Click(window, 1);
        QCOMPARE(Text(window, "Label4"), QString("1"));
        QCOMPARE(Text(window, "Label11"), QString("0"));
    }

    void resetEntryAnswers_data()
    {
        QTest::addColumn<QStringList>("inputs");
        QTest::addColumn<QList<int>>("replies");
        QTest::addColumn<bool>("ends");
        QTest::addColumn<int>("shots");
        QTest::addColumn<QString>("theory");
        QTest::newRow("cancel, No, then a value") << QStringList{"", "7"} << QList<int>{kNo} << false << 7 << "0.5217031";
        QTest::newRow("cancel, Yes ends at once") << QStringList{""} << QList<int>{kYes} << true << 5 << "";
        QTest::newRow("rejected entry keeps the old N until one is accepted")
            << QStringList{"abc", "51", "8"} << QList<int>{} << false << 8 << "0.5695328";
    }

    void resetEntryAnswers()
    {
        QFETCH(QStringList, inputs);
        QFETCH(QList<int>, replies);
        QFETCH(bool, ends);
        QFETCH(int, shots);
        QFETCH(QString, theory);
        Fixture fixture;
        MainWindow& window = *fixture.window;
        Click(window, 1);
        for (const QString& text : inputs)
            fixture.harness.dialogs.inputs.push_back(text.toStdString());
        for (int reply : replies)
            fixture.harness.dialogs.replies.push_back(std::int16_t(reply));
        QList<int> shotsAtEachPrompt;
        fixture.harness.dialogs.onInput = [&] { shotsAtEachPrompt << window.State().ShotsPerExperiment; };

        Click(window, 5);

        QCOMPARE(fixture.harness.navigator.endRequests, ends ? 1 : 0);
        QCOMPARE(int{window.State().ShotsPerExperiment}, shots);
        QCOMPARE(Text(window, "Label15"), theory);
        QCOMPARE(shotsAtEachPrompt, QList<int>(inputs.size(), 5));
        // Ending leaves the busy pointer: nothing of the sequence runs after the answer.
        QCOMPARE(window.cursor().shape(), ends ? Qt::WaitCursor : Qt::ArrowCursor);
    }

    void quitAnsweredNoChangesNothing()
    {
        Fixture fixture;
        MainWindow& window = *fixture.window;
        for (int shot = 0; shot < 6; ++shot)
            Click(window, 1);
        const QStringList labels = LabelTexts(window);
        const QString states = ButtonStates(window);
        const QImage canvas = window.Canvas()->Image().copy();
        const int shotNumber = window.State().ShotNumber;
        fixture.harness.media.log.clear();
        fixture.harness.dialogs.replies = {kNo};

        Click(window, 4);

        QCOMPARE(fixture.harness.dialogs.asked.back(), std::string("yesno モコペラも数撃ちゃ当たる"));
        QCOMPARE(fixture.harness.media.log, (QStringList{"stop", "close", "open endpinpon.wav", "play"}));
        QCOMPARE(LabelTexts(window), labels);
        QCOMPARE(ButtonStates(window), states);
        QCOMPARE(window.Canvas()->Image(), canvas);
        QCOMPARE(int{window.State().ShotNumber}, shotNumber);
        QCOMPARE(int{window.State().Answer}, int{kNo});
        QCOMPARE(fixture.harness.navigator.endRequests, 0);
    }

    void closeBoxEndsWithoutAQuestion()
    {
        Fixture fixture;
        const auto asked = fixture.harness.dialogs.asked.size();
        fixture.window->close();
        QCOMPARE(fixture.harness.navigator.endRequests, 1);
        QCOMPARE(fixture.harness.dialogs.asked.size(), asked);
        QVERIFY(fixture.harness.media.log.isEmpty());
    }

    void helpPlaysItsCueThenLeaves()
    {
        Fixture fixture;
        Click(*fixture.window, 6);
        QCOMPARE(fixture.harness.media.log, (QStringList{"open pinpon.wav", "play"}));
        QCOMPARE(fixture.harness.navigator.helpRequests, 1);
    }

    // Automatic firing runs experiment after experiment; stopped mid-way, Fire continues it.
    void automaticFiringAcrossExperiments()
    {
        Fixture fixture;
        MainWindow& window = *fixture.window;
        Click(window, 2);
        for (int tick = 1; tick <= 12; ++tick) {
            window.Tick();
            QCOMPARE(Text(window, "Label9"), tick % 5 == 0 ? QString("失敗") : QString());
        }
        QCOMPARE(fixture.harness.media.log.count("open Chimes2.wav"), 2);
        QCOMPARE(Text(window, "Label11"), QString("2"));
        QCOMPARE(Text(window, "Label4"), QString("2"));
        Click(window, 3);
        Click(window, 1);
        QCOMPARE(Text(window, "Label4"), QString("3"));
        QCOMPARE(Text(window, "Label11"), QString("2"));
    }

    void autoStartThenStopFiresNothing()
    {
        Fixture fixture;
        Click(*fixture.window, 2);
        Click(*fixture.window, 3);
        QCOMPARE(int{fixture.window->State().ShotNumber}, 0);
        QVERIFY(Text(*fixture.window, "Label4").isEmpty());
        QCOMPARE(ButtonStates(*fixture.window), QString("FA.QRH."));
    }

    void timerReallyTicks()
    {
        Fixture fixture;
        Click(*fixture.window, 2);
        QTRY_COMPARE_WITH_TIMEOUT(Text(*fixture.window, "Label4"), QString("2"), 2000);
        Click(*fixture.window, 3);
    }

    // The 32768th experiment cannot be counted: firing stops, the user is told, every result
    // stays on screen, a further Fire changes nothing, and Reset starts a new series.
    void experimentLimitDuringAutomaticFiring()
    {
        Fixture fixture;
        MainWindow& window = *fixture.window;
        ExperimentState& state = window.MutableState();
        state.Successes = 20000;
        state.Failures = 12766;
        for (int shot = 0; shot < 5; ++shot)
            Click(window, 1);  // the 32767th experiment: a failure, counted and shown
        QCOMPARE(Text(window, "Label11"), QString("32767"));
        QCOMPARE(Text(window, "Label5"), QString("0.6103702"));

        Click(window, 2);
        for (int tick = 0; tick < 5; ++tick)
            window.Tick();
        QCOMPARE(ButtonStates(window), QString("FA.QRH."));
        QCOMPARE(fixture.harness.dialogs.notices.size(), std::size_t{1});
        QCOMPARE(QString::fromStdString(fixture.harness.dialogs.notices[0]), QString(texts::kLimitReached));
        QVERIFY(QString(texts::kLimitReached).contains("初期化"));
        QCOMPARE(Text(window, "Label11"), QString("32767"));
        QCOMPARE(Text(window, "Label5"), QString("0.6103702"));
        QCOMPARE(Text(window, "Label9"), QString("失敗"));

        const QStringList labels = LabelTexts(window);
        const QImage canvas = window.Canvas()->Image().copy();
        const ExperimentState before = state;
        Click(window, 1);
        QCOMPARE(fixture.harness.dialogs.notices.size(), std::size_t{2});
        QCOMPARE(LabelTexts(window), labels);
        QCOMPARE(window.Canvas()->Image(), canvas);
        QCOMPARE(int{state.ShotNumber}, int{before.ShotNumber});
        QCOMPARE(int{state.Failures}, int{before.Failures});

        fixture.harness.dialogs.inputs = {"5"};
        Click(window, 5);
        Click(window, 1);
        QCOMPARE(fixture.harness.dialogs.notices.size(), std::size_t{2});
        QCOMPARE(Text(window, "Label4"), QString("1"));
    }
};

QTEST_MAIN(TestWindowFlow)
#include "test_window_flow.moc"
