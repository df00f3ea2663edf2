#pragma once

#include <QPointer>
#include <QWidget>

#include "core/entry.h"

namespace mokopera {

// The real dialogs: modal, centred over the current window, every text Japanese, the buttons
// included.
class QtDialogs final : public Dialogs {
public:
    // The window the dialogs belong to; they are centred over it.
    void SetOwner(QWidget* owner) { owner_ = owner; }
    // The program is ending: a box that is open closes, and every box asked for from now on
    // answers at once the way that ends the program (the input box empty, the question Yes),
    // so that whatever handler is still on the stack runs to its end without a dialog.
    void EndAll() { ended_ = true; }

    std::string InputBox(const std::string& prompt, const std::string& title, const std::string& offered) override;
    std::int16_t YesNoBox(const std::string& prompt, const std::string& title) override;
    void Notice(const std::string& text, const std::string& title) override;

private:
    QPointer<QWidget> owner_;
    bool ended_ = false;
};

}  // namespace mokopera
