#pragma once

#include <QPushButton>

namespace zento {

/// A push button whose caption wraps onto several lines when it does not fit its width
/// (QPushButton never wraps); its text() stays the caption as given.
class WrappingButton final : public QPushButton {
    Q_OBJECT
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace zento
