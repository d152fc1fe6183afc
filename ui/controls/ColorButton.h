#pragma once
// A push button of the program's own look; for now it draws as a QPushButton.

#include <QPushButton>

class ColorButton : public QPushButton {
    Q_OBJECT
public:
    using QPushButton::QPushButton;
};
