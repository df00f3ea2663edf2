// The program's dialogs as a user meets them: their words, their keys, and the end of the program
// while one of them is on the stack.

#include <QtTest>

#include <QLineEdit>
#include <QPushButton>

#include "mainwindow/prompt_box.h"
#include "mainwindow/qt_dialogs.h"

using namespace mokopera;

namespace {

// Does `act` to the box as soon as it is open and records its buttons' words; fails the test and
// closes the box if none opens.
struct Answerer {
    std::function<void(PromptBox*)> act;
    QStringList buttons;
    bool iconsSeen = false;
    QString field;

    void Arm()
    {
        QTimer::singleShot(0, [this] {
            auto* box = qobject_cast<PromptBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            for (QPushButton* button : box->findChildren<QPushButton*>()) {
                buttons << button->text();
                iconsSeen |= !button->icon().isNull();
            }
            if (auto* edit = box->findChild<QLineEdit*>())
                field = edit->selectedText();
            act(box);
        });
    }
};

void PressKey(PromptBox* box, Qt::Key key)
{
    QWidget* target = box->focusWidget() ? box->focusWidget() : box;
    QTest::keyClick(target, key);
}

void ClickButton(PromptBox* box, const QString& text)
{
    for (QPushButton* button : box->findChildren<QPushButton*>())
        if (button->text() == text)
            button->click();
}

}  // namespace

class TestDialogs : public QObject {
    Q_OBJECT

private slots:
    // What each box answers for each way out, and the words on its buttons (no style icons).
    void answers_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("action");  // "key:Enter", "key:Escape", "click:<button>", "type:<text>"
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QStringList>("buttons");
        const QStringList okCancel{"OK", "キャンセル"}, yesNo{"はい", "いいえ"};
        QTest::newRow("input: Enter takes the offered 20") << "input" << "key:Enter" << "20" << okCancel;
        QTest::newRow("input: typed over the selection") << "input" << "type:7" << "7" << okCancel;
        QTest::newRow("input: Escape gives the empty text") << "input" << "key:Escape" << "" << okCancel;
        QTest::newRow("input: Cancel gives the empty text") << "input" << "click:キャンセル" << "" << okCancel;
        QTest::newRow("question: Enter is Yes") << "yesno" << "key:Enter" << "6" << yesNo;
        QTest::newRow("question: No") << "yesno" << "click:いいえ" << "7" << yesNo;
        QTest::newRow("question: Escape is No") << "yesno" << "key:Escape" << "7" << yesNo;
        QTest::newRow("notice: OK") << "notice" << "key:Enter" << "" << QStringList{"OK"};
    }

    void answers()
    {
        QFETCH(QString, box);
        QFETCH(QString, action);
        QFETCH(QString, answer);
        QFETCH(QStringList, buttons);
        QtDialogs dialogs;
        Answerer answerer;
        answerer.act = [action](PromptBox* open) {
            const QString what = action.section(':', 1);
            if (action.startsWith("key:"))
                PressKey(open, what == "Enter" ? Qt::Key_Return : Qt::Key_Escape);
            else if (action.startsWith("click:"))
                ClickButton(open, what);
            else {
                QTest::keyClicks(open->findChild<QLineEdit*>(), what);
                PressKey(open, Qt::Key_Return);
            }
        };
        answerer.Arm();
        QString result;
        if (box == "input")
            result = QString::fromStdString(dialogs.InputBox("５以上５０以下の整数を入力してください。", "鉄砲の発射回数の設定", "20"));
        else if (box == "yesno")
            result = QString::number(dialogs.YesNoBox("終了していいですか？", "確認"));
        else
            dialogs.Notice("text", "title");
        QCOMPARE(result, answer);
        QCOMPARE(answerer.buttons, buttons);
        QVERIFY(!answerer.iconsSeen);
        if (box == "input")
            QCOMPARE(answerer.field, QString("20"));
    }

    // Once the program is ending, a box that is open closes with the answer that ends, and no
    // box opens any more: whatever handler is still running reaches its end at once.
    void endingClosesEveryBox()
    {
        QtDialogs dialogs;
        Answerer answerer;
        answerer.act = [&](PromptBox*) {
            dialogs.EndAll();
            QCoreApplication::exit(0);  // what ending the program does to every event loop
        };
        answerer.Arm();
        QCOMPARE(dialogs.YesNoBox("終了していいですか？", "確認"), kYes);
        QCOMPARE(dialogs.InputBox("prompt", "title", "20"), std::string());
        QCOMPARE(dialogs.YesNoBox("prompt", "title"), kYes);
        dialogs.Notice("text", "title");
        QVERIFY(!QApplication::activeModalWidget());
    }
};

QTEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
