#include "ui/main/SchemeTabWidget.h"

#include "ui/controls/ColorScheme.h"

#include <QPainter>
#include <QStyleOptionFocusRect>
#include <QTabBar>

namespace {

class SchemeTabBar final : public QTabBar {
public:
    using QTabBar::QTabBar;

protected:
    // Tabs are as wide as designed, or wider for a caption that needs it.
    QSize tabSizeHint(int index) const override {
        const QSize hint = QTabBar::tabSizeHint(index);
        const int caption =
            fontMetrics().horizontalAdvance(tabText(index)) + 2 * fontMetrics().height();
        return {std::max(230, caption), hint.height()};
    }
    void paintEvent(QPaintEvent* event) override {
        // Without the colour scheme the platform draws the tabs.
        if (!ColorScheme::inUse()) {
            QTabBar::paintEvent(event);
            return;
        }
        QPainter p(this);
        for (int i = 0; i < count(); ++i) {
            const QRect r = tabRect(i);
            p.fillRect(r, ColorScheme::schemeColor());
            p.setPen(Qt::black);
            p.drawText(r, Qt::AlignCenter, tabText(i));
            if (i == currentIndex() && hasFocus()) {
                QStyleOptionFocusRect focus;
                focus.initFrom(this);
                focus.rect = r.adjusted(3, 3, -3, -3);
                style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, this);
            }
        }
    }
};

} // namespace

SchemeTabWidget::SchemeTabWidget(QWidget* parent) : QTabWidget(parent) {
    setTabBar(new SchemeTabBar(this));
}

void SchemeTabWidget::tabInserted(int index) {
    QTabWidget::tabInserted(index);
    if (ColorScheme::inUse())
        ColorScheme::fill(widget(index), ColorScheme::schemeColor());
}
