#pragma once

#include <QDialog>
#include <QStringList>

#include "program/front_end.h"

class QLineEdit;

namespace mokopera {

// The program's own modal box: a prompt, an optional text field, and a row of buttons that carry
// words only (no icons of the widget style), arranged as the program says: the one that answers
// OK or Yes is the default (Enter); Escape and the close box answer like the last one. The box is
// wide enough for its title and opens centred on the window it belongs to.
class PromptBox final : public QDialog {
    Q_OBJECT
public:
    // `offered` non-null: a text field holding it, selected.
    PromptBox(QWidget* owner, const QString& title, const QString& prompt, const Dialogs::Buttons& buttons,
              const QString* offered = nullptr);

    // The index of the button that answered; the last one after Escape or the close box.
    [[nodiscard]] int Answer() const { return answer_; }
    [[nodiscard]] QString Text() const;

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    QLineEdit* field_ = nullptr;
    int answer_ = -1;
    int escapeAnswer_ = 0;
};

}  // namespace mokopera
