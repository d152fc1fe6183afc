#pragma once
// A flat tool button: raised only under the mouse and, unless its owner gives it Tab
// focus, never takes the keyboard focus, as the small buttons beside the program's
// fields and in the alert's postpone row.

#include <QToolButton>

class FlatToolButton final : public QToolButton {
    Q_OBJECT

public:
    explicit FlatToolButton(QWidget* parent = nullptr);

    // A caption without an icon needs its own size and the style's frame; the tool
    // button's usual padding of a space on each side is left out, so that the designed
    // size (a "60" in 23 x 22 pixels) is the minimum and larger fonts grow from it.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
};
