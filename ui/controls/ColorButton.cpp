#include "ui/controls/ColorButton.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <algorithm>

namespace {

// Every line is a filled band of whole logical pixels: at any device-pixel ratio it
// covers whole device pixels, so the drawing stays crisp (no blended edges).
void drawOutline(QPainter& p, const QRect& r, const QColor& colour) {
    p.fillRect(QRect(r.left(), r.top(), r.width(), 1), colour);
    p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), colour);
    p.fillRect(QRect(r.left(), r.top(), 1, r.height()), colour);
    p.fillRect(QRect(r.right(), r.top(), 1, r.height()), colour);
}

// One ring of a 3D frame: top and left edges in one colour, bottom and right in another.
void drawBevel(QPainter& p, const QRect& r, const QColor& topLeft, const QColor& bottomRight) {
    p.fillRect(QRect(r.left(), r.top(), r.width(), 1), topLeft);
    p.fillRect(QRect(r.left(), r.top(), 1, r.height()), topLeft);
    p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
    p.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
}

// The dotted focus rectangle: every other pixel along the edges.
void drawDottedRect(QPainter& p, const QRect& r, const QColor& colour) {
    if (r.width() < 2 || r.height() < 2)
        return;
    for (int x = r.left(); x <= r.right(); x += 2) {
        p.fillRect(QRect(x, r.top(), 1, 1), colour);
        p.fillRect(QRect(x, r.bottom(), 1, 1), colour);
    }
    for (int y = r.top(); y <= r.bottom(); y += 2) {
        p.fillRect(QRect(r.left(), y, 1, 1), colour);
        p.fillRect(QRect(r.right(), y, 1, 1), colour);
    }
}

} // namespace

ColorButton::ColorButton(QWidget* parent) : QPushButton(parent) {
    // A default button shows its outline only while no other button has the focus.
    m_focusWatch = connect(qApp, &QApplication::focusChanged, this, [this] {
        if (isDefault())
            update();
    });
}

ColorButton::ColorButton(const QString& text, QWidget* parent) : ColorButton(parent) {
    setText(text);
}

ColorButton::~ColorButton() {
    disconnect(m_focusWatch);
}

QColor ColorButton::color() const {
    if (m_color)
        return *m_color;
    if (const QWidget* parent = parentWidget())
        return parent->palette().color(parent->backgroundRole());
    return palette().color(QPalette::Button);
}

void ColorButton::setColor(const QColor& colour) {
    m_color = colour;
    update();
}

void ColorButton::unsetColor() {
    m_color.reset();
    update();
}

bool ColorButton::isActiveButton() const {
    if (hasFocus())
        return true;
    return isDefault() && qobject_cast<QPushButton*>(QApplication::focusWidget()) == nullptr;
}

QSize ColorButton::sizeHint() const {
    ensurePolished();
    QStyleOptionButton option;
    initStyleOption(&option);
    QSize contents = fontMetrics().size(Qt::TextShowMnemonic, text());
    if (!icon().isNull()) {
        contents.rwidth() += option.iconSize.width() + 4;
        contents.setHeight(std::max(contents.height(), option.iconSize.height()));
    }
    // The style adds its frame and margins; without a caption in the option it does
    // not also round the width up to its minimum for captioned buttons.
    option.text.clear();
    return style()->sizeFromContents(QStyle::CT_PushButton, &option, contents, this);
}

QSize ColorButton::minimumSizeHint() const {
    return sizeHint();
}

void ColorButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QPalette& pal = palette();
    const QRect whole = rect();
    QRect face = whole;
    const bool active = isActiveButton();
    const bool pressed = isDown();

    // The window frame's colour (black on most desktops) around the active button.
    if (active) {
        drawOutline(p, face, pal.color(QPalette::Shadow));
        face.adjust(1, 1, -1, -1);
    }
    if (pressed) {
        drawOutline(p, face, pal.color(QPalette::Dark));
        face.adjust(1, 1, -1, -1);
    } else {
        drawBevel(p, face, pal.color(QPalette::Light), pal.color(QPalette::Shadow));
        face.adjust(1, 1, -1, -1);
        drawBevel(p, face, pal.color(QPalette::Midlight), pal.color(QPalette::Dark));
        face.adjust(1, 1, -1, -1);
    }
    p.fillRect(face, color());

    QRect caption = pressed ? face.translated(1, 1) : face;
    int flags = Qt::AlignCenter | Qt::TextShowMnemonic;
    QStyleOptionButton option;
    initStyleOption(&option);
    if (!style()->styleHint(QStyle::SH_UnderlineShortcut, &option, this))
        flags |= Qt::TextHideMnemonic;
    if (!icon().isNull()) {
        // The icon left of the caption, the pair centred together.
        const QSize iconSize = option.iconSize;
        const int textWidth = fontMetrics().horizontalAdvance(text());
        const int gap = text().isEmpty() ? 0 : 4;
        const int left =
            caption.left() + (caption.width() - iconSize.width() - gap - textWidth) / 2;
        const QRect iconRect(left, caption.top() + (caption.height() - iconSize.height()) / 2,
                             iconSize.width(), iconSize.height());
        icon().paint(&p, iconRect, Qt::AlignCenter, isEnabled() ? QIcon::Normal : QIcon::Disabled);
        caption.setLeft(iconRect.right() + 1 + gap);
        flags = (flags & ~Qt::AlignHCenter) | Qt::AlignLeft;
    }
    if (isEnabled()) {
        p.setPen(pal.color(QPalette::ButtonText));
        p.drawText(caption, flags, text());
    } else {
        // Embossed: the highlight 1 pixel right and down, the shadow colour on top.
        p.setPen(pal.color(QPalette::Light));
        p.drawText(caption.translated(1, 1), flags, text());
        p.setPen(pal.color(QPalette::Dark));
        p.drawText(caption, flags, text());
    }

    emit drawn(&p, caption);

    if (active && hasFocus())
        drawDottedRect(p, whole.adjusted(4, 4, -4, -4), pal.color(QPalette::Shadow));
}
