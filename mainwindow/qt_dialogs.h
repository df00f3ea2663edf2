#pragma once

#include <QPointer>
#include <QWidget>

#include "core/entry.h"

namespace mokopera {

// The real dialogs: modal to the current main window, every text Japanese, the standard
// buttons included.
class QtDialogs final : public Dialogs {
public:
    // The window the dialogs belong to; they are modal to it and centred over it.
    void SetOwner(QWidget* owner) { owner_ = owner; }

    std::string InputBox(const std::string& prompt, const std::string& title, const std::string& offered) override;
    std::int16_t YesNoBox(const std::string& prompt, const std::string& title) override;
    void Notice(const std::string& text, const std::string& title) override;

private:
    QPointer<QWidget> owner_;
};

}  // namespace mokopera
