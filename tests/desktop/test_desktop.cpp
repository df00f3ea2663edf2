// The desktop front end: its windows as the layout gives them, its dialogs, the target and help
// canvases, and a classroom day on all of it.

#include <QtTest>

#include <QLabel>
#include <cmath>

#include "desktop/audio_module.h"
#include "desktop/box_label.h"
#include "desktop/target_canvas.h"
#include "desktop/window_builder.h"
#include "desktop_harness.h"

using namespace mokopera;
using namespace mokopera::testing;

namespace {

// A control as the table of controlsWhereTheyBelong gives it: its place and size; for a caption,
// its font's pixel size, its boldness and its text; for a boxed label, its background; for a
// button, "default" if Enter would press it.
QString Described(const QWidget* made)
{
    const QRect place = made->geometry();
    QString text = QString("%1,%2 %3x%4").arg(place.x()).arg(place.y()).arg(place.width()).arg(place.height());
    const auto* label = qobject_cast<const QLabel*>(made);
    const auto* button = qobject_cast<const QPushButton*>(made);
    if (label || button)
        text += QString(" %1px%2 %3")
                    .arg(made->font().pixelSize())
                    .arg(made->font().bold() ? " bold" : "")
                    .arg(label ? label->text() : button->text());
    if (qobject_cast<const BoxLabel*>(made))
        text += " " + made->palette().color(QPalette::Window).name();
    return text + (button && button->autoDefault() ? " default" : "");
}

}  // namespace

class TestDesktop : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InstallFontSubstitutes(); }

    // The windows as the classic program lays them out: a few controls of each kind, given here
    // as they must come out (see Described).
    void controlsWhereTheyBelong_data()
    {
        QTest::addColumn<QString>("expected");
        // clang-format off
        QTest::newRow("Label7") << "56,0 273x25 21px bold モコペラも数撃ちゃ当たる #ffc0ff";
        QTest::newRow("Label8") << "16,424 401x17 16px 鉄砲の腕前が１０回中１回命中する人が鉄砲を撃ちます。";
        QTest::newRow("Label2") << "104,448 49x25 19px bold  #ffffff";
        QTest::newRow("Label14") << "280,544 121x33 15px bold 少なくとも一回当たる数学的確率 #ffffff";
        QTest::newRow("Command1") << "120,552 129x49 19px bold 発　射";
        QTest::newRow("Command4") << "0,0 49x25 13px 終了";
        QTest::newRow("Picture1") << "16,40 401x377";
        QTest::newRow("Line1") << "0,24 433x1";
        QTest::newRow("help Command1") << "560,0 49x25 12px 閉じる";
        QTest::newRow("help Picture1") << "8,32 601x465";
        // clang-format on
    }

    void controlsWhereTheyBelong()
    {
        QFETCH(QString, expected);
        const QString name = QTest::currentDataTag();
        Desktop desktop;
        desktop.Start();
        if (name.startsWith("help "))
            desktop.Click(6);
        const QWidget* window = name.startsWith("help ") ? static_cast<QWidget*>(desktop.screens.CurrentHelpWidget())
                                                         : static_cast<QWidget*>(desktop.screens.CurrentMainWidget());
        const QWidget* made = window->findChild<QWidget*>(QString(name).remove("help "));
        QVERIFY(made);
        QCOMPARE(Described(made), expected);
    }

    // The windows' titles, fixed sizes and focus orders: the canvas first, then the buttons.
    void windowsAndFocusOrder()
    {
        Desktop desktop;
        desktop.program.Start();
        auto chain = [](const QWidget* first, int count) {  // `count` names, from `first` on
            QStringList names{first->objectName()};
            for (const QWidget* next = first->nextInFocusChain(); names.size() < count; next = next->nextInFocusChain())
                if (next->focusPolicy() != Qt::NoFocus)
                    names << next->objectName();
            return names;
        };
        const MainWidget* main = desktop.screens.CurrentMainWidget();
        QCOMPARE(main->windowTitle(), QString(" モコペラも数撃ちゃ当たる"));
        QCOMPARE(main->minimumSize(), QSize(433, 620));
        QCOMPARE(main->maximumSize(), QSize(433, 620));
        QVERIFY(!main->windowIcon().isNull());
        QCOMPARE(chain(main->findChild<QWidget*>("Picture1"), 7),
                 QStringList({"Picture1", "Command1", "Command2", "Command3", "Command4", "Command5", "Command6"}));
        desktop.Answer("OK");
        desktop.Click(6);
        const HelpWidget* help = desktop.screens.CurrentHelpWidget();
        QCOMPARE(help->windowTitle(), QString(" モコペラも数撃ちゃ当たる＿ヘルプ（設問と操作方法）"));
        QCOMPARE(help->size(), QSize(617, 503));
        QCOMPARE(chain(help->findChild<QWidget*>("Command1"), 2), QStringList({"Command1", "Picture1"}));
    }

    // Each box as a user meets it: its buttons carry words only (no icons of the widget style),
    // the entry offers "20" selected, the box is centred on its window, and Enter answers with its
    // first button, Escape with its last.
    void dialogs()
    {
        Desktop desktop;
        desktop.program.Start();
        const QStringList okCancel{"OK", "キャンセル"}, yesNo{"はい", "いいえ"};
        // Each box: its buttons, the key pressed, and what comes next: the next box's title, the theory
        // shown (the offered 20 taken; then Quit is clicked), or the end.
        // clang-format off
        const std::tuple<QStringList, Qt::Key, QString> steps[] = {
            {okCancel, Qt::Key_Escape, "確認"}, {yesNo, Qt::Key_Escape, "鉄砲の発射回数の設定"},
            {okCancel, Qt::Key_Return, "theory 0.8784233, then Quit"}, {yesNo, Qt::Key_Return, "end"}};
        for (const auto& [buttons, key, next] : steps) {
            PromptBox* box = desktop.WaitForBox();
            QStringList words;
            for (QPushButton* button : box->findChildren<QPushButton*>())
                words << (button->icon().isNull() ? button->text() : "icon");
            QCOMPARE(words, buttons);
            if (auto* field = box->findChild<QLineEdit*>())
                QCOMPARE(field->selectedText(), QString("20"));
            QVERIFY((box->geometry().center() - desktop.screens.CurrentMainWidget()->geometry().center()).manhattanLength() <= 2);
            QTest::keyClick(box, key);
            if (next.startsWith("theory ")) {
                QCOMPARE(desktop.screens.CurrentMainWidget()->findChild<QLabel*>("Label15")->text(), next.section(' ', 1, 1).chopped(1));
                desktop.Click(4);
            } else if (next != "end") {
                QCOMPARE(desktop.WaitForBox()->windowTitle(), next);
            }
        }
        QCOMPARE(desktop.ends, 1);
    }

    // The ring is a closed line, one pixel wide at any pixel ratio (so hollow: some 100 pixels at
    // ratio 1), and the same when drawn twice. Where it lies, the page's comparison with this
    // window's picture checks.
    void ring()
    {
        TargetCanvas canvas(QSize(397, 373));
        ExperimentState state;
        DrawTarget(state, canvas);
        canvas.RingDone();
        const QImage once = canvas.Image().copy();
        const QColor ink = canvas.palette().color(QPalette::ButtonText);
        int ringPixels = 0;
        for (int y = 0; y < once.height(); ++y) {
            for (int x = 0; x < once.width(); ++x) {
                if (once.pixelColor(x, y) != ink)
                    continue;
                int neighbours = -1;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                        neighbours += once.pixelColor(x + dx, y + dy) == ink;
                QVERIFY2(neighbours >= 2, qPrintable(QString("loose end at %1,%2").arg(x).arg(y)));
                ++ringPixels;
            }
        }
        const qreal ratio = once.devicePixelRatio();
        QVERIFY2(ringPixels > 60 * ratio * ratio && ringPixels < 140 * ratio * ratio, qPrintable(QString::number(ringPixels)));
        DrawTarget(state, canvas);
        canvas.RingDone();
        QCOMPARE(canvas.Image(), once);
    }

    // A mark is a round dot in its colour, centred on its point wherever the point falls between
    // pixels, at any device pixel ratio. Each pixel counts by how much of the mark's colour it holds.
    void marks_data()
    {
        QTest::addColumn<QPointF>("centre");
        QTest::addColumn<int>("colour");
        QTest::newRow("hit at the centre") << QPointF(250, 250) << 9;
        QTest::newRow("hit between pixels") << QPointF(251.3, 248.6) << 9;
        QTest::newRow("miss 200 up") << QPointF(250, 50) << 12;
        QTest::newRow("miss between pixels") << QPointF(123.45, 377.7) << 12;
    }

    void marks()
    {
        QFETCH(QPointF, centre);
        QFETCH(int, colour);
        TargetCanvas canvas(QSize(397, 373));
        canvas.DrawMark(float(centre.x()), float(centre.y()), static_cast<ConsoleColour>(colour));
        const QImage& image = canvas.Image();
        const qreal ratio = image.devicePixelRatio();
        const QColor background = canvas.Background();
        double total = 0, sumX = 0, sumY = 0, sumXX = 0, sumYY = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                // The share of the mark's colour in this pixel, from the channel that tells most.
                const QColor pixel = image.pixelColor(x, y);
                const double share = colour == 9 ? double(background.red() - pixel.red()) / background.red()
                                                 : double(background.green() - pixel.green()) / background.green();
                const double cx = (x + 0.5) / ratio, cy = (y + 0.5) / ratio;  // logical pixels
                total += share, sumX += share * cx, sumY += share * cy, sumXX += share * cx * cx, sumYY += share * cy * cy;
            }
        }
        const QPointF off = QPointF(sumX / total, sumY / total) - QPointF(centre.x() * 397 / 500, centre.y() * 373 / 500);
        const double spreadX = std::sqrt(sumXX / total - std::pow(sumX / total, 2));
        const double spreadY = std::sqrt(sumYY / total - std::pow(sumY / total, 2));
        const double ink = total / (ratio * ratio);
        const QString figures = QString("off by %1, %2; spread %3 by %4; ink %5").arg(off.x()).arg(off.y()).arg(spreadX).arg(spreadY).arg(ink);
        QVERIFY2(std::abs(off.x()) < 0.2 && std::abs(off.y()) < 0.2, qPrintable(figures));
        QVERIFY2(std::abs(spreadX - spreadY) < 0.1 * spreadX, qPrintable(figures));  // round
        // An outline of radius 1.6 px: its ink lies about 1.6 px from its centre, some 10 px of it.
        QVERIFY2(spreadX > 1.0 && spreadX < 1.8 && ink > 7 && ink < 14, qPrintable(figures));
    }

    // The help text: no line is cut at the right edge; the few wider than the canvas are
    // narrowed a little, their text only. Every line's text starts at the full width of its
    // ideographic spaces, narrowed or not.
    void helpLinesFitAndKeepTheirIndent()
    {
        Desktop desktop;
        desktop.Start();
        desktop.Click(6);
        TextCanvas* canvas = desktop.screens.CurrentHelpWidget()->Canvas();
        QTRY_COMPARE(canvas->PrintedLines().size(), qsizetype(25));
        const int pitch = layout::kHelpLinePixels;
        const QImage& image = canvas->Image();
        bool inkNearEdge = false;
        for (int i = 0; i < 25; ++i) {
            const QString& line = canvas->PrintedLines()[i];
            int left = image.width(), right = -1;
            for (int y = i * pitch; y < (i + 1) * pitch; ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (qGray(image.pixel(x, y)) < 128)
                        left = std::min(left, x), right = std::max(right, x);
            inkNearEdge |= right >= image.width() - 12;
            QCOMPARE(right < 0, line.isEmpty());
            const qsizetype spaces = line.size() - QString(line).remove(QRegularExpression("^\u3000+")).size();
            const qreal indent = QFontMetricsF(canvas->font()).horizontalAdvance(QString(spaces, QChar(0x3000)));
            QVERIFY2(left >= int(indent) - 1, qPrintable(QString("line %1 at %2, indent %3 px").arg(i + 1).arg(left).arg(indent)));
            QVERIFY2(canvas->FitScale(int(spaces), line.mid(spaces)) > 0.94, qPrintable(line));
        }
        QCOMPARE_LE(25 * pitch, image.height());
        QVERIFY(inkNearEdge);
    }

    // A classroom day on the real program and its real windows, sound output and generator:
    // rounds of 250 automatic shots, Reset, and a trip to the help window and back. The window
    // announces the round's story, and no window or widget is left behind. (bench_window
    // classroom-day measures its memory over 200 rounds.)
    void aClassroomDay()
    {
        const std::string bin = QCoreApplication::applicationDirPath().toStdString();
        AudioModule media(bin + "/mokopera-audio.so", CueFileLocator({bin}));
        MixingRandomSource random(99);
        SystemClock clock;
        Desktop desktop(&media, &random, &clock);
        QVERIFY(desktop.Start());
        FlushDeletes();
        const auto widgets = QApplication::allWidgets().size();
        for (int round = 0; round < 3; ++round) {
            desktop.Click(2);
            for (int shot = 0; shot < 250; ++shot)
                desktop.program.Tick();  // automatic firing, each tick at once instead of every 100 ms
            desktop.Click(3);
            const MainWidget* main = desktop.screens.CurrentMainWidget();
            QCOMPARE(main->Announced(), main->findChild<QLabel*>("Label9")->text() + "。実験回数 50、成功率 " +
                                            main->findChild<QLabel*>("Label5")->text());
            desktop.Click(5);
            desktop.Answer("OK", "5");
            desktop.Click(6);
            FlushDeletes();
            desktop.screens.CurrentHelpWidget()->findChild<QPushButton*>("Command1")->click();
            desktop.Answer("OK", "5");
            FlushDeletes();
            QCOMPARE(QApplication::allWidgets().size(), widgets);
            QCOMPARE(QApplication::topLevelWidgets().size(), 1);
        }
        QCOMPARE(desktop.ends, 0);
        QVERIFY(!desktop.screens.OpenBox());
    }
};

QTEST_MAIN(TestDesktop)
#include "test_desktop.moc"
