#pragma once

#include <QPushButton>

namespace window {

// A push button whose caption wraps onto further lines when it is wider than
// the button, the way desktop command buttons show long captions. The diagram
// buttons need it: their captions are twice as wide as the buttons.
class CommandButton : public QPushButton {
    Q_OBJECT

public:
    explicit CommandButton(const QString &caption, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace window
