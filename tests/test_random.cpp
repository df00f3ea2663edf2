// The real generator, driven the way the program drives it: a reseed before every shot.

#include <QtTest>

#include <array>
#include <cmath>

#include "core/shot_step.h"
#include "core_fakes.h"

using namespace mokopera;
using namespace mokopera::testing;

namespace {

// Counts distances; everything else is dropped.
class DistanceTally : public NullEffects {
public:
    std::array<long, 201> counts{};
};

}  // namespace

class TestRandom : public QObject {
    Q_OBJECT

private slots:
    void equalSeedsDoNotReplay()
    {
        MixingRandomSource random(42);
        random.Reseed(100.0F);
        const float first = random.Next();
        random.Reseed(100.0F);
        QVERIFY(random.Next() != first);
    }

    void valuesStayBelowOne()
    {
        MixingRandomSource random(7);
        float largest = 0.0F, smallest = 1.0F;
        for (int i = 0; i < 1'000'000; ++i) {
            const float value = random.Next();
            largest = std::max(largest, value);
            smallest = std::min(smallest, value);
        }
        QVERIFY(largest < 1.0F);
        QVERIFY(smallest >= 0.0F);
        QVERIFY(largest > 0.999F);
        QVERIFY(smallest < 0.001F);
    }

    // 100,000 experiments with a frozen clock (the same seed before every shot): the success
    // rate lies within 4.5 standard deviations of 1 − 0.9^N, and the distances are uniform.
    void successRateAndDistances_data()
    {
        QTest::addColumn<int>("shots");
        QTest::newRow("N = 5") << 5;
        QTest::newRow("N = 20") << 20;
        QTest::newRow("N = 50") << 50;
    }

    void successRateAndDistances()
    {
        QFETCH(int, shots);
        constexpr int kExperiments = 100'000;
        ExperimentState state;
        state.ShotsPerExperiment = static_cast<std::int16_t>(shots);
        MixingRandomSource random(static_cast<std::uint64_t>(shots) * 1000003U);
        FrozenClock clock(36000.0F);
        NullEffects effects;
        std::array<long, 201> distances{};
        int successes = 0;
        for (int experiment = 0; experiment < kExperiments; ++experiment) {
            for (int shot = 0; shot < shots; ++shot) {
                QCOMPARE(ShotStep(state, random, clock, effects), StepResult::Completed);
                ++distances.at(static_cast<std::size_t>(state.Distance));
            }
            successes += state.Hits > 0 ? 1 : 0;
            if (state.Successes + state.Failures == 30'000)
                ZeroCounters(state);  // a new series before the 16-bit counter fills up
        }
        const double p = 1.0 - std::pow(0.9, shots);
        const double sd = std::sqrt(p * (1 - p) / kExperiments);
        const double rate = double(successes) / kExperiments;
        QVERIFY2(std::fabs(rate - p) < 4.5 * sd, qPrintable(QString("rate %1, theory %2").arg(rate).arg(p)));

        QCOMPARE(distances[0], 0L);
        const double expected = double(kExperiments) * shots / 200.0;
        double chiSquare = 0.0;
        for (int d = 1; d <= 200; ++d)
            chiSquare += std::pow(distances[std::size_t(d)] - expected, 2) / expected;
        // 199 degrees of freedom: 282 is the critical value at p = 0.0001.
        QVERIFY2(chiSquare < 282.0, qPrintable(QString("chi-square %1").arg(chiSquare)));
    }
};

QTEST_APPLESS_MAIN(TestRandom)
#include "test_random.moc"
