// The desktop's dialogs as a user meets them: their words, their keys, where they open, and what
// each answer leads to in the real program.

#include <QtTest>

#include <QLabel>
#include <QLineEdit>

#include "desktop_harness.h"

using namespace mokopera;
using namespace mokopera::testing;

class TestDialogs : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InstallFontSubstitutes(); }

    void answers_data()
    {
        QTest::addColumn<QString>("before");   // clicks that bring the box: "" (the start), "quit", "cancel"
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("buttons");
        QTest::addColumn<QString>("action");   // "Enter", "Escape", "type:TEXT", "click:BUTTON"
        QTest::addColumn<QString>("after");    // the next box's title, "theory VALUE", "end" or "nothing"
        const QStringList okCancel{"OK", "キャンセル"}, yesNo{"はい", "いいえ"};
        QTest::newRow("entry: Enter takes the offered 20") << "" << "鉄砲の発射回数の設定" << okCancel << "Enter" << "theory 0.8784233";
        QTest::newRow("entry: typed over the selection") << "" << "鉄砲の発射回数の設定" << okCancel << "type:7" << "theory 0.5217031";
        QTest::newRow("entry: Escape asks whether to end") << "" << "鉄砲の発射回数の設定" << okCancel << "Escape" << "確認";
        QTest::newRow("entry: Cancel asks whether to end") << "" << "鉄砲の発射回数の設定" << okCancel << "click:キャンセル" << "確認";
        QTest::newRow("confirmation: Enter is Yes, the end") << "cancel" << "確認" << yesNo << "Enter" << "end";
        QTest::newRow("confirmation: Escape is No, the entry again") << "cancel" << "確認" << yesNo << "Escape" << "鉄砲の発射回数の設定";
        QTest::newRow("quit: No changes nothing") << "quit" << "モコペラも数撃ちゃ当たる" << yesNo << "click:いいえ" << "nothing";
        QTest::newRow("quit: Yes ends") << "quit" << "モコペラも数撃ちゃ当たる" << yesNo << "click:はい" << "end";
    }

    void answers()
    {
        QFETCH(QString, before);
        QFETCH(QString, title);
        QFETCH(QStringList, buttons);
        QFETCH(QString, action);
        QFETCH(QString, after);
        Desktop desktop;
        if (before == "quit") {
            desktop.Start();
            desktop.Click(4);
        } else {
            desktop.program.Start();
            if (before == "cancel")
                desktop.Answer("キャンセル");
        }
        PromptBox* box = desktop.WaitForBox();
        QVERIFY(box);
        QCOMPARE(box->windowTitle(), title);
        QStringList words;
        for (QPushButton* button : box->findChildren<QPushButton*>()) {
            words << button->text();
            QVERIFY(button->icon().isNull());  // words only, no icons of the widget style
        }
        QCOMPARE(words, buttons);
        if (auto* field = box->findChild<QLineEdit*>())
            QCOMPARE(field->selectedText(), QString("20"));
        const QWidget* owner = desktop.screens.CurrentMainWidget();
        QVERIFY((box->geometry().center() - owner->geometry().center()).manhattanLength() <= 2);

        const QString what = action.section(':', 1);
        if (action == "Enter" || action == "Escape")
            QTest::keyClick(box, action == "Enter" ? Qt::Key_Return : Qt::Key_Escape);
        else if (action.startsWith("type:"))
            QTest::keyClicks(box->findChild<QLineEdit*>(), what), QTest::keyClick(box, Qt::Key_Return);
        else
            desktop.Answer(what);

        if (after == "end") {
            QCOMPARE(desktop.ends, 1);
        } else if (after.startsWith("theory ")) {
            QCOMPARE(desktop.screens.CurrentMainWidget()->findChild<QLabel*>("Label15")->text(), after.mid(7));
        } else if (after == "nothing") {
            QTest::qWait(20);
            QVERIFY(!desktop.screens.OpenBox());
            QCOMPARE(desktop.ends, 0);
        } else {
            QVERIFY(desktop.WaitForBox());
            QCOMPARE(desktop.screens.OpenBox()->windowTitle(), after);
        }
    }
};

QTEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
