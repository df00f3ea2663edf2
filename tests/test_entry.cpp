// The shots-per-experiment entry, its dialog loop, the theory text and the number formats.

#include <QtTest>

#include <clocale>
#include <string>

#include "core/entry.h"
#include "core/number_text.h"
#include "core_fakes.h"

using namespace mokopera;
using namespace mokopera::testing;

Q_DECLARE_METATYPE(std::string)

class TestEntry : public QObject {
    Q_OBJECT

private slots:
    void validate_data()
    {
        QTest::addColumn<std::string>("text");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("value");
        const int empty = int(EntryKind::Empty), rejected = int(EntryKind::Rejected),
                  accepted = int(EntryKind::Accepted);

        QTest::newRow("empty") << std::string() << empty << 0;
        QTest::newRow("offered 20") << std::string("20") << accepted << 20;
        QTest::newRow("lowest 5") << std::string("5") << accepted << 5;
        QTest::newRow("highest 50") << std::string("50") << accepted << 50;
        QTest::newRow("4") << std::string("4") << rejected << 0;
        QTest::newRow("4.99") << std::string("4.99") << rejected << 0;
        QTest::newRow("50.5") << std::string("50.5") << rejected << 0;
        QTest::newRow("51") << std::string("51") << rejected << 0;
        QTest::newRow("5.5 cut to 5") << std::string("5.5") << accepted << 5;
        QTest::newRow("7.9 cut to 7") << std::string("7.9") << accepted << 7;
        QTest::newRow("49.999 cut to 49") << std::string("49.999") << accepted << 49;
        QTest::newRow("letters") << std::string("abc") << rejected << 0;
        QTest::newRow("20 then letters") << std::string("20abc") << accepted << 20;
        QTest::newRow("blanks only are not empty") << std::string("   ") << rejected << 0;
        QTest::newRow("leading blanks") << std::string("  \t7") << accepted << 7;
        QTest::newRow("plus sign") << std::string("+12") << accepted << 12;
        QTest::newRow("negative") << std::string("-20") << rejected << 0;
        QTest::newRow("exponent in range") << std::string("1e1") << accepted << 10;
        QTest::newRow("1e9") << std::string("1e9") << rejected << 0;
        QTest::newRow("-1e9") << std::string("-1e9") << rejected << 0;
        QTest::newRow("exponent beyond double") << std::string("1e400") << rejected << 0;
        QTest::newRow("inf") << std::string("inf") << rejected << 0;
        QTest::newRow("nan") << std::string("nan") << rejected << 0;
        QTest::newRow("400 digits") << std::string(400, '9') << rejected << 0;
        QTest::newRow("leading NUL") << std::string("\0" "20", 3) << rejected << 0;
        QTest::newRow("NUL after the number") << std::string("20\0" "99", 5) << accepted << 20;
        QTest::newRow("invalid UTF-8") << std::string("\xff\xfe\x80") << rejected << 0;
        QTest::newRow("full-width digits are not read") << std::string("２０") << rejected << 0;
        QTest::newRow("hex prefix reads as 0") << std::string("0x10") << rejected << 0;
        QTest::newRow("double sign") << std::string("+-7") << rejected << 0;
        QTest::newRow("decimal comma stops the number") << std::string("7,9") << accepted << 7;
    }

    void validate()
    {
        QFETCH(std::string, text);
        QFETCH(int, kind);
        QFETCH(int, value);
        const EntryOutcome outcome = ValidateShotsEntry(text);
        QCOMPARE(int(outcome.Kind), kind);
        QCOMPARE(int{outcome.Value}, value);
    }

    // The decimal point is '.' whatever the user's locale says.
    void readsPointInAnyLocale()
    {
        const std::string saved = std::setlocale(LC_ALL, nullptr);
        if (!std::setlocale(LC_ALL, "de_DE.UTF-8") && !std::setlocale(LC_ALL, "fr_FR.UTF-8"))
            QSKIP("no German or French locale on this machine");
        const double value = ReadLeadingNumber("7.9");
        std::setlocale(LC_ALL, saved.c_str());
        QCOMPARE(value, 7.9);
    }

    // Every N the entry accepts. The single-precision running product shows at N = 10 (the exact
    // 1 − 0.9^10 would read 0.6513216) and N = 24 (0.9202336).
    void theory_data()
    {
        QTest::addColumn<int>("shots");
        QTest::addColumn<QString>("text");
        QTest::newRow("5") << 5 << "0.4095100";
        QTest::newRow("6") << 6 << "0.4685590";
        QTest::newRow("7") << 7 << "0.5217031";
        QTest::newRow("8") << 8 << "0.5695328";
        QTest::newRow("9") << 9 << "0.6125795";
        QTest::newRow("10") << 10 << "0.6513215";
        QTest::newRow("11") << 11 << "0.6861894";
        QTest::newRow("12") << 12 << "0.7175705";
        QTest::newRow("13") << 13 << "0.7458134";
        QTest::newRow("14") << 14 << "0.7712321";
        QTest::newRow("15") << 15 << "0.7941089";
        QTest::newRow("16") << 16 << "0.8146980";
        QTest::newRow("17") << 17 << "0.8332282";
        QTest::newRow("18") << 18 << "0.8499054";
        QTest::newRow("19") << 19 << "0.8649148";
        QTest::newRow("20") << 20 << "0.8784233";
        QTest::newRow("21") << 21 << "0.8905810";
        QTest::newRow("22") << 22 << "0.9015229";
        QTest::newRow("23") << 23 << "0.9113706";
        QTest::newRow("24") << 24 << "0.9202335";
        QTest::newRow("25") << 25 << "0.9282102";
        QTest::newRow("26") << 26 << "0.9353892";
        QTest::newRow("27") << 27 << "0.9418502";
        QTest::newRow("28") << 28 << "0.9476652";
        QTest::newRow("29") << 29 << "0.9528987";
        QTest::newRow("30") << 30 << "0.9576088";
        QTest::newRow("31") << 31 << "0.9618480";
        QTest::newRow("32") << 32 << "0.9656631";
        QTest::newRow("33") << 33 << "0.9690968";
        QTest::newRow("34") << 34 << "0.9721872";
        QTest::newRow("35") << 35 << "0.9749684";
        QTest::newRow("36") << 36 << "0.9774716";
        QTest::newRow("37") << 37 << "0.9797245";
        QTest::newRow("38") << 38 << "0.9817520";
        QTest::newRow("39") << 39 << "0.9835768";
        QTest::newRow("40") << 40 << "0.9852191";
        QTest::newRow("41") << 41 << "0.9866972";
        QTest::newRow("42") << 42 << "0.9880275";
        QTest::newRow("43") << 43 << "0.9892247";
        QTest::newRow("44") << 44 << "0.9903023";
        QTest::newRow("45") << 45 << "0.9912720";
        QTest::newRow("46") << 46 << "0.9921448";
        QTest::newRow("47") << 47 << "0.9929304";
        QTest::newRow("48") << 48 << "0.9936373";
        QTest::newRow("49") << 49 << "0.9942736";
        QTest::newRow("50") << 50 << "0.9948462";
    }

    void theory()
    {
        QFETCH(int, shots);
        QFETCH(QString, text);
        ExperimentState state;
        state.ShotsPerExperiment = static_cast<std::int16_t>(shots);
        QCOMPARE(QString::fromStdString(ShowTheory(state)), text);
    }

    void probabilityFormat_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("1/3") << 1.0 / 3 << "0.3333333";
        QTest::newRow("2/3") << 2.0 / 3 << "0.6666667";
        QTest::newRow("one") << 1.0 << "1.0000000";
        QTest::newRow("zero") << 0.0 << "0.0000000";
        QTest::newRow("exact half rounds up") << 225.0 / 256 << "0.8789063";
        QTest::newRow("just below a half rounds down") << 0.00000004999999 << "0.0000000";
        QTest::newRow("tiny") << 1e-300 << "0.0000000";
        QTest::newRow("carry into the units") << 0.99999996 << "1.0000000";
        QTest::newRow("1121/1280 is a half, stored just below it") << 1121.0 / 1280 << "0.8757813";
        QTest::newRow("0.99999995 is a half, stored just below it") << 0.99999995 << "1.0000000";
    }

    void probabilityFormat()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(QString::fromStdString(FormatProbability(value)), text);
    }

    void dialogLoop_data()
    {
        QTest::addColumn<QStringList>("inputs");
        QTest::addColumn<QList<int>>("replies");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<int>("shots");
        QTest::addColumn<QStringList>("asked");

        const QString input = "input 鉄砲の発射回数の設定 20";
        QTest::newRow("OK on the offered value") << QStringList{"20"} << QList<int>{} << true << 20
                                                 << QStringList{input};
        QTest::newRow("cancel, No, then a value") << QStringList{"", "7"} << QList<int>{kNo} << true << 7
                                                  << QStringList{input, "yesno 確認", input};
        QTest::newRow("cancel, Yes ends") << QStringList{""} << QList<int>{kYes} << false << 33
                                          << QStringList{input, "yesno 確認"};
        QTest::newRow("rejected texts ask again without a question")
            << QStringList{"abc", "   ", "51", "12"} << QList<int>{} << true << 12
            << QStringList{input, input, input, input};
        QTest::newRow("rejected then cancel and Yes keeps the old N")
            << QStringList{"4", ""} << QList<int>{kYes} << false << 33 << QStringList{input, input, "yesno 確認"};
    }

    void dialogLoop()
    {
        QFETCH(QStringList, inputs);
        QFETCH(QList<int>, replies);
        QFETCH(bool, accepted);
        QFETCH(int, shots);
        QFETCH(QStringList, asked);
        ScriptedDialogs dialogs;
        for (const QString& text : inputs)
            dialogs.inputs.push_back(text.toStdString());
        for (int reply : replies)
            dialogs.replies.push_back(static_cast<std::int16_t>(reply));
        ExperimentState state;
        state.ShotsPerExperiment = 33;

        const AskResult result = AskShotsPerExperiment(state, dialogs);

        QCOMPARE(result == AskResult::Accepted, accepted);
        QCOMPARE(int{state.ShotsPerExperiment}, shots);
        QStringList askedList;
        for (const auto& line : dialogs.asked)
            askedList << QString::fromStdString(line);
        QCOMPARE(askedList, asked);
        QCOMPARE(QString::fromStdString(state.EnteredText), inputs.last());
        if (!replies.isEmpty())
            QCOMPARE(int{state.Answer}, replies.last());
    }
};

QTEST_APPLESS_MAIN(TestEntry)
#include "test_entry.moc"
