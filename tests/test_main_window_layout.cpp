// The main window as laid out: every control at its place, in its font and colours.

#include <QtTest>

#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "mainwindow/box_label.h"
#include "mainwindow/target_canvas.h"
#include "sound/mm_control.h"
#include "window_harness.h"

using namespace mokopera;
using namespace mokopera::testing;

class TestMainWindowLayout : public QObject {
    Q_OBJECT

private:
    Harness harness_;
    std::unique_ptr<MainWindow> window_;

private slots:
    void initTestCase()
    {
        InstallFontSubstitutes();
        window_ = std::make_unique<MainWindow>(harness_.Services());
    }

    void window()
    {
        QCOMPARE(window_->objectName(), QString("Form1"));
        QCOMPARE(window_->windowTitle(), QString(" モコペラも数撃ちゃ当たる"));
        QCOMPARE(window_->size(), QSize(433, 620));
        QCOMPARE(window_->minimumSize(), window_->maximumSize());
        QVERIFY(!window_->windowIcon().pixmap(32, 32).isNull());
    }

    void controls_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<int>("pixelSize");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QColor>("background");  // invalid: not a box with its own background

        const QColor white(Qt::white), pink(255, 192, 255), none;
        auto row = [](const char* name, QRect geometry, int px, bool bold, const char* text, QColor bg) {
            QTest::newRow(name) << QString(name) << geometry << px << bold << QString::fromUtf8(text) << bg;
        };
        row("Command4", {0, 0, 49, 25}, 13, false, "終了", none);
        row("Label7", {56, 0, 273, 25}, 21, true, "モコペラも数撃ちゃ当たる", pink);
        row("Command6", {336, 0, 49, 25}, 13, false, "HELP", none);
        row("Command5", {384, 0, 49, 25}, 13, false, "初期化", none);
        row("Label8", {16, 424, 401, 17}, 16, false, "鉄砲の腕前が１０回中１回命中する人が鉄砲を撃ちます。", none);
        row("Label1", {16, 448, 89, 25}, 19, true, "命中回数", white);
        row("Label2", {104, 448, 49, 25}, 19, true, "", white);
        row("Label3", {160, 448, 89, 25}, 19, true, "発射回数", white);
        row("Label4", {248, 448, 49, 25}, 19, true, "", white);
        row("Label9", {320, 448, 97, 25}, 19, true, "", white);
        row("Label12", {32, 480, 89, 25}, 19, true, "成功回数", white);
        row("Label13", {120, 480, 65, 25}, 19, true, "", white);
        row("Label6", {192, 496, 89, 25}, 19, true, "成功率", white);
        row("Label5", {280, 496, 121, 25}, 19, true, "", white);
        row("Label10", {32, 512, 89, 25}, 19, true, "実験回数", white);
        row("Label11", {120, 512, 65, 25}, 19, true, "", white);
        row("Command2", {16, 544, 81, 33}, 15, true, "自動開始", none);
        row("Command3", {16, 576, 81, 33}, 15, true, "自動停止", none);
        row("Command1", {120, 552, 129, 49}, 19, true, "発　射", none);
        row("Label14", {280, 544, 121, 33}, 15, true, "少なくとも一回当たる数学的確率", white);
        row("Label15", {280, 576, 121, 25}, 19, true, "", white);
    }

    void controls()
    {
        QFETCH(QString, name);
        QFETCH(QRect, geometry);
        QFETCH(int, pixelSize);
        QFETCH(bool, bold);
        QFETCH(QString, text);
        QFETCH(QColor, background);
        auto* widget = window_->findChild<QWidget*>(name);
        QVERIFY(widget);
        QCOMPARE(widget->geometry(), geometry);
        QCOMPARE(widget->font().family(), QString("ＭＳ Ｐゴシック"));
        QCOMPARE(widget->font().pixelSize(), pixelSize);
        QCOMPARE(widget->font().weight(), bold ? QFont::Bold : QFont::Normal);
        QVERIFY(widget->isEnabled());  // every button enabled at creation
        if (auto* button = qobject_cast<QPushButton*>(widget)) {
            QCOMPARE(button->text(), text);
            QVERIFY(!button->isDefault() && !button->autoDefault());
            return;
        }
        auto* label = qobject_cast<QLabel*>(widget);
        QVERIFY(label);
        QCOMPARE(label->text(), text);
        QCOMPARE(label->alignment(), Qt::AlignCenter);
        QCOMPARE(qobject_cast<BoxLabel*>(label) != nullptr, background.isValid());
        QCOMPARE(label->wordWrap(), name == "Label14");
        if (background.isValid()) {
            QCOMPARE(label->contentsRect(), label->rect().adjusted(1, 1, -1, -1));
            QVERIFY(label->autoFillBackground());
            QCOMPARE(label->palette().color(QPalette::Window), background);
        }
    }

    void otherControls()
    {
        auto* canvas = window_->findChild<TargetCanvas*>("Picture1");
        QVERIFY(canvas);
        QCOMPARE(canvas->geometry(), QRect(16, 40, 401, 377));
        QCOMPARE(canvas->contentsRect().size(), QSize(397, 373));
        QCOMPARE(canvas->frameShadow(), QFrame::Sunken);
        auto* line = window_->findChild<QFrame*>("Line1");
        QVERIFY(line);
        QCOMPARE(line->geometry(), QRect(0, 24, 433, 1));
        auto* timer = window_->findChild<QTimer*>("Timer1");
        QVERIFY(timer);
        QCOMPARE(timer->interval(), 100);
        QVERIFY(!timer->isActive());
        QCOMPARE(timer->timerType(), Qt::PreciseTimer);
        QVERIFY(window_->findChild<MMControl*>("MMControl1"));
    }

    void focusOrder()
    {
        QStringList order;
        QWidget* widget = window_->findChild<QWidget*>("Picture1");
        for (int i = 0; i < 7; ++i) {
            order << widget->objectName();
            widget = widget->nextInFocusChain();
            while (widget->focusPolicy() == Qt::NoFocus)
                widget = widget->nextInFocusChain();
        }
        QCOMPARE(order, (QStringList{"Picture1", "Command1", "Command2", "Command3", "Command4", "Command5",
                                     "Command6"}));
    }

    // The longest texts each value label receives fit inside its border.
    void longestTextsFit_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::newRow("Label2") << "Label2" << "50";
        QTest::newRow("Label4") << "Label4" << "50";
        QTest::newRow("Label9") << "Label9" << "失敗";
        QTest::newRow("Label11") << "Label11" << "32767";
        QTest::newRow("Label13") << "Label13" << "32767";
        QTest::newRow("Label5") << "Label5" << "0.0000000";
        QTest::newRow("Label15") << "Label15" << "0.9948462";
        QTest::newRow("captions") << "Label1" << "命中回数";
    }

    void longestTextsFit()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        auto* label = window_->findChild<QLabel*>(name);
        const QFontMetrics metrics(label->font());
        QVERIFY2(metrics.horizontalAdvance(text) <= label->contentsRect().width(),
                 qPrintable(QString("%1 px wide in %2 px").arg(metrics.horizontalAdvance(text))
                                .arg(label->contentsRect().width())));
        QVERIFY(metrics.height() <= label->contentsRect().height() + 2);
    }

    // Label14's caption shows on two lines, both inside the box and clear of Label15, which
    // overlaps its bottom row.
    void twoLineCaptionFits()
    {
        auto* label = window_->findChild<QLabel*>("Label14");
        const QImage image = label->grab().toImage();
        auto inkInRows = [&](int from, int to) {
            int ink = 0;
            for (int y = from; y < to; ++y)
                for (int x = 2; x < image.width() - 2; ++x)
                    ink += qGray(image.pixel(x, y)) < 100 ? 1 : 0;
            return ink;
        };
        QVERIFY(inkInRows(1, 16) > 40);                       // first line
        QVERIFY(inkInRows(17, image.height() - 2) > 40);      // second line
        QCOMPARE(inkInRows(image.height() - 2, image.height() - 1), 0);  // the row Label15 covers
    }

    // The verdict's colour is its text's only: the box stays in the window-text colour.
    void verdictColourLeavesTheBoxAlone()
    {
        auto* label = window_->findChild<QLabel*>("Label9");
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, QColor(0, 0, 255));
        label->setPalette(palette);
        label->setText("成功");
        const QImage image = label->grab().toImage();
        QCOMPARE(image.pixelColor(0, 0), qobject_cast<BoxLabel*>(label)->BoxColour());
        QCOMPARE(image.pixelColor(image.width() / 3, image.height() - 1), qobject_cast<BoxLabel*>(label)->BoxColour());
        bool blueText = false;
        for (int x = 1; x < image.width() - 1; ++x)
            for (int y = 1; y < image.height() - 1; ++y)
                blueText |= image.pixelColor(x, y) == QColor(0, 0, 255);
        QVERIFY(blueText);
        label->clear();
    }
};

QTEST_MAIN(TestMainWindowLayout)
#include "test_main_window_layout.moc"
