#pragma once
// The push button of every window of the program (Ok, Cancel, Edit..., the dialogs'
// buttons). For now it looks like the platform's push button; it is its own class so
// that the forms already name it and its own face can come later.

#include <QPushButton>

class ColorButton final : public QPushButton {
    Q_OBJECT

public:
    explicit ColorButton(QWidget* parent = nullptr);
    explicit ColorButton(const QString& text, QWidget* parent = nullptr);

    // What the caption needs inside the button's frame and margins. Unlike the
    // platform's push button it asks for no minimum width of its own: the window's
    // designed button size is the minimum, and a longer caption or a larger font
    // grows the button beyond it.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
};
