#include "mainwindow/qt_dialogs.h"

#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace mokopera {

namespace {
QString Text(const std::string& utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}
}  // namespace

std::string QtDialogs::InputBox(const std::string& prompt, const std::string& title, const std::string& offered)
{
    QInputDialog box(owner_);
    box.setObjectName("InputBox");
    box.setWindowModality(Qt::ApplicationModal);
    box.setInputMode(QInputDialog::TextInput);
    box.setWindowTitle(Text(title));
    box.setLabelText(Text(prompt));
    box.setTextValue(Text(offered));
    box.setOkButtonText("OK");
    box.setCancelButtonText("キャンセル");
    // Cancel, Escape and the close box all reject the dialog: the empty text.
    return box.exec() == QDialog::Accepted ? box.textValue().toStdString() : std::string();
}

std::int16_t QtDialogs::YesNoBox(const std::string& prompt, const std::string& title)
{
    QMessageBox box(owner_);
    box.setObjectName("YesNoBox");
    box.setWindowModality(Qt::ApplicationModal);
    box.setIcon(QMessageBox::NoIcon);
    box.setWindowTitle(Text(title));
    box.setText(Text(prompt));
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::Yes);
    box.button(QMessageBox::Yes)->setText("はい");
    box.button(QMessageBox::No)->setText("いいえ");
    return box.exec() == QMessageBox::Yes ? kYes : kNo;
}

void QtDialogs::Notice(const std::string& text, const std::string& title)
{
    QMessageBox box(owner_);
    box.setObjectName("NoticeBox");
    box.setWindowModality(Qt::ApplicationModal);
    box.setIcon(QMessageBox::Information);
    box.setWindowTitle(Text(title));
    box.setText(Text(text));
    box.setStandardButtons(QMessageBox::Ok);
    box.button(QMessageBox::Ok)->setText("OK");
    box.exec();
}

}  // namespace mokopera
