#include "ui/controls/ColorButton.h"

#include <QStyle>
#include <QStyleOptionButton>
#include <algorithm>

ColorButton::ColorButton(QWidget* parent) : QPushButton(parent) {
}

ColorButton::ColorButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {
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
