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
// A modal message box with these buttons, their texts in Japanese.
void SetUpMessageBox(QMessageBox& box, const char* name, const std::string& title, const std::string& text,
                     QMessageBox::Icon icon, std::initializer_list<std::pair<QMessageBox::StandardButton, QString>> buttons)
{
    box.setObjectName(name);
    box.setWindowModality(Qt::ApplicationModal);
    box.setIcon(icon);
    box.setWindowTitle(Text(title));
    box.setText(Text(text));
    QMessageBox::StandardButtons all;
    for (const auto& [button, label] : buttons)
        all |= button;
    box.setStandardButtons(all);
    for (const auto& [button, label] : buttons)
        box.button(button)->setText(label);
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
    SetUpMessageBox(box, "YesNoBox", title, prompt, QMessageBox::NoIcon,
                    {{QMessageBox::Yes, QStringLiteral("はい")}, {QMessageBox::No, QStringLiteral("いいえ")}});
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes ? kYes : kNo;
}

void QtDialogs::Notice(const std::string& text, const std::string& title)
{
    QMessageBox box(owner_);
    SetUpMessageBox(box, "NoticeBox", title, text, QMessageBox::Information, {{QMessageBox::Ok, QStringLiteral("OK")}});
    box.exec();
}

}  // namespace mokopera
