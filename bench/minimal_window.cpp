// The yardstick for start-up: the least a Qt Widgets program does to show a 433 × 620 window
// and the same input box as mokopera.

#include <QApplication>
#include <QInputDialog>
#include <QTimer>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral(" minimal"));
    window.setFixedSize(433, 620);
    window.show();
    QTimer::singleShot(0, &window, [&window] {
        QInputDialog::getText(&window, QStringLiteral("鉄砲の発射回数の設定"),
                              QStringLiteral("５以上５０以下の整数を入力してください。"), QLineEdit::Normal,
                              QStringLiteral("20"));
        QApplication::quit();
    });
    return QApplication::exec();
}
