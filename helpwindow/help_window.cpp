#include "helpwindow/help_window.h"

#include <QCloseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QPushButton>

#include "helpwindow/help_text.h"
#include "mainwindow/fonts.h"

namespace mokopera {

namespace {
constexpr int kFrame = 2;
}

TextCanvas::TextCanvas(QWidget* parent) : QFrame(parent)
{
    setObjectName("Picture1");
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(kFrame);
    setFocusPolicy(Qt::StrongFocus);
    setFont(JapaneseFont(15, false));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TextCanvas::Clear()
{
    const qreal ratio = std::max<qreal>(1.0, devicePixelRatioF());
    image_ = QImage(contentsRect().size() * ratio, QImage::Format_RGB32);
    image_.setDevicePixelRatio(ratio);
    image_.fill(Qt::white);
    printed_.clear();
    printY_ = 0;
    update();
}

namespace {
// The ideographic spaces a line opens with: its indent, part of the layout of the text.
qsizetype IndentOf(const QString& line)
{
    qsizetype spaces = 0;
    while (spaces < line.size() && line[spaces] == QChar(0x3000))
        ++spaces;
    return spaces;
}
}  // namespace

qreal TextCanvas::IndentWidth(const QString& line) const
{
    return QFontMetricsF(font()).horizontalAdvance(line.left(IndentOf(line)));
}

qreal TextCanvas::FitScale(const QString& line) const
{
    const qreal width = QFontMetricsF(font()).horizontalAdvance(line.mid(IndentOf(line)));
    const qreal room = contentsRect().width() - IndentWidth(line);
    return width > room ? room / width : 1.0;
}

void TextCanvas::PrintLine(const QString& line)
{
    const QFontMetrics metrics(font());
    if (!line.isEmpty() && !image_.isNull()) {
        QPainter painter(&image_);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setFont(font());
        painter.setPen(palette().color(QPalette::WindowText));
        painter.translate(IndentWidth(line), 0);
        painter.scale(FitScale(line), 1.0);
        painter.drawText(QPointF(0, printY_ + metrics.ascent()), line.mid(IndentOf(line)));
    }
    printed_ << line;
    printY_ += metrics.height();
    update();
}

void TextCanvas::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(contentsRect(), Qt::white);
    if (!image_.isNull())
        painter.drawImage(contentsRect().topLeft(), image_);
    painter.end();
    QFrame::paintEvent(event);
}

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent)
{
    setObjectName("Form2");
    setWindowTitle(QStringLiteral(" モコペラも数撃ちゃ当たる＿ヘルプ（設問と操作方法）"));
    setFixedSize(617, 503);

    auto* line = new QFrame(this);
    line->setObjectName("Line1");
    line->setFrameStyle(QFrame::HLine | QFrame::Plain);
    line->setGeometry(8, 24, 601, 1);

    close_ = new QPushButton(QStringLiteral("閉じる"), this);
    close_->setObjectName("Command1");
    close_->setGeometry(560, 0, 49, 25);
    close_->setAutoDefault(false);

    canvas_ = new TextCanvas(this);
    canvas_->setGeometry(8, 32, 601, 465);
    setTabOrder(close_, canvas_);

    connect(close_, &QPushButton::clicked, this, &HelpWindow::closeClicked);
}

void HelpWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    close_->setFocus();
    PrintHelpText();
}

// Cleared first, so showing the window again never doubles the text.
void HelpWindow::PrintHelpText()
{
    canvas_->Clear();
    for (const QString& line : HelpLines())
        canvas_->PrintLine(line);
}

void HelpWindow::closeEvent(QCloseEvent* event)
{
    event->accept();
    emit closedBySystem();
}

}  // namespace mokopera
