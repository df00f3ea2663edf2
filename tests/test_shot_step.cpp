// Effect sequences of one shot: what the window is asked to do, and in which order.

#include <QtTest>

#include "core/shot_step.h"
#include "core_fakes.h"

using namespace mokopera;
using namespace mokopera::testing;

namespace {

struct Start {
    int shotNumber, hits, successes, failures, shots;
};

QStringList ToList(const std::vector<std::string>& log)
{
    QStringList list;
    for (const auto& line : log)
        list << QString::fromStdString(line);
    return list;
}

ExperimentState StateFrom(const Start& s)
{
    ExperimentState state;
    state.ShotNumber = static_cast<std::int16_t>(s.shotNumber);
    state.Hits = static_cast<std::int16_t>(s.hits);
    state.Successes = static_cast<std::int16_t>(s.successes);
    state.Failures = static_cast<std::int16_t>(s.failures);
    state.ShotsPerExperiment = static_cast<std::int16_t>(s.shots);
    return state;
}

constexpr float kLargestBelowOne = 1.0F - 0x1p-24F;

}  // namespace

Q_DECLARE_METATYPE(Start)

class TestShotStep : public QObject {
    Q_OBJECT

private slots:
    void effectSequence_data()
    {
        QTest::addColumn<Start>("start");
        QTest::addColumn<float>("distanceDraw");
        QTest::addColumn<float>("angleDraw");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("first shot after load: no clearing, no verdict label")
            << Start{0, 0, 0, 0, 5} << 0.5F << 0.0F
            << QStringList{"Label4=1", "Label2=0", "Label13=0", "Label11=0", "mark 351.0 250.0 12"};
        QTest::newRow("new experiment after a verdict: verdict emptied, fresh target before the mark")
            << Start{5, 2, 1, 0, 5} << 0.5F << 0.0F
            << QStringList{"Label9=", "clear", "target", "Label4=1", "Label2=0", "Label13=1", "Label11=1",
                           "Label5=1.0000000", "mark 351.0 250.0 12"};
        QTest::newRow("only hit on the last shot is a success")
            << Start{4, 0, 0, 0, 5} << 0.0F << 0.0F
            << QStringList{"Label4=5", "colour 9", "Label9=成功", "cue Chimes.wav", "Label2=1", "Label13=1",
                           "Label11=1", "Label5=1.0000000", "mark 251.0 250.0 9"};
        QTest::newRow("all misses is a failure")
            << Start{4, 0, 1, 2, 5} << kLargestBelowOne << 0.0F
            << QStringList{"Label4=5", "colour 12", "Label9=失敗", "cue Chimes2.wav", "Label2=0", "Label13=1",
                           "Label11=4", "Label5=0.2500000", "mark 450.0 250.0 12"};
        QTest::newRow("distance 20 is a hit") << Start{1, 0, 0, 0, 5} << 0.0975F << 0.0F
            << QStringList{"Label4=2", "Label2=1", "Label13=0", "Label11=0", "mark 270.0 250.0 9"};
        QTest::newRow("distance 21 is a miss") << Start{1, 0, 0, 0, 5} << 0.1025F << 0.0F
            << QStringList{"Label4=2", "Label2=0", "Label13=0", "Label11=0", "mark 271.0 250.0 12"};
        QTest::newRow("quarter turn lands below the centre") << Start{1, 0, 0, 0, 5} << 0.5F << 0.25F
            << QStringList{"Label4=2", "Label2=0", "Label13=0", "Label11=0", "mark 250.0 351.0 12"};
        QTest::newRow("225 of 256 rounds the half up") << Start{19, 3, 224, 31, 20} << 0.0F << 0.0F
            << QStringList{"Label4=20", "colour 9", "Label9=成功", "cue Chimes.wav", "Label2=4", "Label13=225",
                           "Label11=256", "Label5=0.8789063", "mark 251.0 250.0 9"};
        QTest::newRow("one success in three") << Start{4, 1, 0, 2, 5} << 0.5F << 0.0F
            << QStringList{"Label4=5", "colour 9", "Label9=成功", "cue Chimes.wav", "Label2=1", "Label13=1",
                           "Label11=3", "Label5=0.3333333", "mark 351.0 250.0 12"};
        QTest::newRow("two successes in three") << Start{4, 1, 1, 1, 5} << 0.5F << 0.0F
            << QStringList{"Label4=5", "colour 9", "Label9=成功", "cue Chimes.wav", "Label2=1", "Label13=2",
                           "Label11=3", "Label5=0.6666667", "mark 351.0 250.0 12"};
    }

    void effectSequence()
    {
        QFETCH(Start, start);
        QFETCH(float, distanceDraw);
        QFETCH(float, angleDraw);
        QFETCH(QStringList, expected);
        ExperimentState state = StateFrom(start);
        ScriptedRandom random({distanceDraw, angleDraw});
        FrozenClock clock(1234.5F);
        RecordingEffects effects;

        QCOMPARE(ShotStep(state, random, clock, effects), StepResult::Completed);
        QCOMPARE(ToList(effects.log), expected);
        QCOMPARE(random.seeds, std::vector<float>{1234.5F});
    }

    void distanceCoversOneToTwoHundred_data()
    {
        QTest::addColumn<float>("draw");
        QTest::addColumn<int>("distance");
        QTest::newRow("zero") << 0.0F << 1;
        QTest::newRow("largest below one") << kLargestBelowOne << 200;
        QTest::newRow("middle") << 0.5F << 101;
    }

    void distanceCoversOneToTwoHundred()
    {
        QFETCH(float, draw);
        QFETCH(int, distance);
        ExperimentState state = StateFrom({0, 0, 0, 0, 5});
        ScriptedRandom random({draw, 0.0F});
        FrozenClock clock;
        NullEffects effects;
        QCOMPARE(ShotStep(state, random, clock, effects), StepResult::Completed);
        QCOMPARE(int{state.Distance}, distance);
    }

    // With N = 5, verdicts come on steps 5, 10, 15 and new experiments on 6, 11; each verdict
    // step ends with five marks on the canvas and Label5 is never written before the first one.
    void experimentBoundaries()
    {
        ExperimentState state = StateFrom({0, 0, 0, 0, 5});
        ScriptedRandom random({0.5F});
        FrozenClock clock;
        RecordingEffects effects;
        int marksSinceClear = 0;
        for (int step = 1; step <= 15; ++step) {
            effects.log.clear();
            QCOMPARE(ShotStep(state, random, clock, effects), StepResult::Completed);
            const QStringList log = ToList(effects.log);
            QCOMPARE(log.contains("clear"), step == 6 || step == 11);
            if (log.contains("clear"))
                marksSinceClear = 0;
            marksSinceClear += int(log.filter("mark").size());
            QCOMPARE(log.contains("Label9=失敗"), step % 5 == 0);
            QCOMPARE(log.filter("Label5=").isEmpty(), step < 5);
            if (step % 5 == 0)
                QCOMPARE(marksSinceClear, 5);
        }
        QCOMPARE(int{state.Failures}, 3);
    }

    // The 32768th verdict is counted, but forming the number of experiments for Label11 fails:
    // the step stops there, with nothing drawn after it.
    void overflowAtTheExperimentLimit()
    {
        ExperimentState state = StateFrom({4, 0, 20000, 12767, 5});
        state.MarkX = 1.0F;
        ScriptedRandom random({0.0F});
        FrozenClock clock;
        RecordingEffects effects;

        QCOMPARE(ShotStep(state, random, clock, effects), StepResult::CounterOverflow);
        QCOMPARE(ToList(effects.log), (QStringList{"Label4=5", "colour 9", "Label9=成功", "cue Chimes.wav",
                                                   "Label2=1", "Label13=20001"}));
        QCOMPARE(int{state.Successes}, 20001);
        QCOMPARE(int{state.Failures}, 12767);
        QCOMPARE(state.MarkX, 1.0F);
    }

    // A single counter at its limit stops the step at its own increment: no cue, no count.
    void overflowOfASingleCounter()
    {
        ExperimentState state = StateFrom({4, 0, 0, 32767, 5});
        ScriptedRandom random({0.5F});
        FrozenClock clock;
        RecordingEffects effects;
        QCOMPARE(ShotStep(state, random, clock, effects), StepResult::CounterOverflow);
        QCOMPARE(ToList(effects.log), (QStringList{"Label4=5", "colour 12", "Label9=失敗"}));
        QCOMPARE(int{state.Failures}, 32767);
    }
};

QTEST_APPLESS_MAIN(TestShotStep)
#include "test_shot_step.moc"
