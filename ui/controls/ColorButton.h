#pragma once
// The push button of every window of the program (Ok, Cancel, Edit..., the dialogs'
// buttons). It behaves as the platform's push button (click, default button, keys,
// accessibility) but draws its own face, so that the face can take any colour: the
// colour of the widget it sits on until a colour is set (the colour scheme sets its own).
//
// Looks: raised; pressed (flat in the shadow colour, caption 1 pixel right and down);
// focused (a dark outline and a dotted focus rectangle 4 pixels inside); the active
// default button while another control has the focus (the outline only); disabled (the
// caption embossed). A double click counts as two clicks, as QWidget passes it on as a
// second press.

#include <QPushButton>
#include <optional>

class ColorButton final : public QPushButton {
    Q_OBJECT
    Q_PROPERTY(QColor color READ color WRITE setColor RESET unsetColor)

public:
    explicit ColorButton(QWidget* parent = nullptr);
    explicit ColorButton(const QString& text, QWidget* parent = nullptr);
    ~ColorButton() override;

    // The face colour: the one set, else the background colour of the parent widget.
    QColor color() const;
    void setColor(const QColor& colour);
    // Follows the parent's colour again.
    void unsetColor();

    // What the caption needs inside the button's frame and margins. Unlike the
    // platform's push button it asks for no minimum width of its own: the window's
    // designed button size is the minimum, and a longer caption or a larger font
    // grows the button beyond it.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // After the face and the caption are drawn, before the focus rectangle: the owner
    // may draw more with `painter` (in the button's coordinates); `face` is the
    // rectangle the caption was centred in.
    void drawn(QPainter* painter, const QRect& face);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The button Enter would press: it has the focus, or it is the default button while
    // no other button has the focus.
    bool isActiveButton() const;

    std::optional<QColor> m_color;
    // Ended before the QWidget part goes, whose destruction still moves the focus.
    QMetaObject::Connection m_focusWatch;
};
