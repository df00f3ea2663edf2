#include "mainwindow/qt_dialogs.h"

#include "mainwindow/prompt_box.h"

namespace mokopera {

namespace {
QString Text(const std::string& utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}
}  // namespace

std::string QtDialogs::InputBox(const std::string& prompt, const std::string& title, const std::string& offered)
{
    if (ended_)
        return {};
    const QString text = Text(offered);
    PromptBox box(owner_, Text(title), Text(prompt), {QStringLiteral("OK"), QStringLiteral("キャンセル")}, &text,
                  false);
    box.setObjectName("InputBox");
    // Cancel, Escape and the close box all give the empty text.
    return box.exec() == QDialog::Accepted && !ended_ ? box.Text().toStdString() : std::string();
}

std::int16_t QtDialogs::YesNoBox(const std::string& prompt, const std::string& title)
{
    if (ended_)
        return kYes;
    PromptBox box(owner_, Text(title), Text(prompt), {QStringLiteral("はい"), QStringLiteral("いいえ")});
    box.setObjectName("YesNoBox");
    box.exec();
    return box.Answer() == 0 || ended_ ? kYes : kNo;
}

void QtDialogs::Notice(const std::string& text, const std::string& title)
{
    if (ended_)
        return;
    PromptBox box(owner_, Text(title), Text(text), {QStringLiteral("OK")});
    box.setObjectName("NoticeBox");
    box.exec();
}

}  // namespace mokopera
