#include "desktop/prompt_box.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

namespace mokopera {

namespace {
// What a title bar needs besides the title: the window manager's icon, its three buttons and
// margins (about 120 px in the common themes), with some room to spare.
constexpr int kTitleBarExtras = 140;
}  // namespace

PromptBox::PromptBox(QWidget* owner, const QString& title, const QString& prompt, const Dialogs::Buttons& buttons,
                     const QString* offered)
    : QDialog(owner), escapeAnswer_(int(buttons.words.size()) - 1)
{
    setWindowTitle(title);
    setWindowModality(Qt::ApplicationModal);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(prompt, this);
    label->setObjectName("Prompt");
    layout->addWidget(label);
    if (offered) {
        field_ = new QLineEdit(*offered, this);
        field_->selectAll();
        layout->addWidget(field_);
    }
    auto* row = new QHBoxLayout;
    row->addStretch();
    for (int i = 0; i < int(buttons.words.size()); ++i) {
        auto* button = new QPushButton(QString::fromStdString(buttons.words[std::size_t(i)]), this);
        const bool yes = i == int(buttons.yes);
        button->setDefault(yes);
        button->setAutoDefault(yes);
        connect(button, &QPushButton::clicked, this, [this, i] {
            answer_ = i;
            done(i == escapeAnswer_ ? Rejected : Accepted);
        });
        row->addWidget(button);
    }
    if (buttons.centred)
        row->addStretch();
    layout->addLayout(row);
    setFixedSize(sizeHint().expandedTo(QSize(fontMetrics().horizontalAdvance(title) + kTitleBarExtras, 0)));
}

QString PromptBox::Text() const
{
    return field_ ? field_->text() : QString();
}

void PromptBox::reject()
{
    answer_ = escapeAnswer_;
    QDialog::reject();
}

// Centred on the window it belongs to, or on the screen without one; never off the screen.
void PromptBox::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    const QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    const QRect area = (owner ? owner->screen() : screen())->availableGeometry();
    const QPoint centre = owner && owner->isVisible() ? owner->geometry().center() : area.center();
    QRect box(QPoint(), frameGeometry().size());
    box.moveCenter(centre);
    box.moveLeft(std::clamp(box.left(), area.left(), std::max(area.left(), area.right() - box.width())));
    box.moveTop(std::clamp(box.top(), area.top(), std::max(area.top(), area.bottom() - box.height())));
    move(box.topLeft());
}

}  // namespace mokopera
