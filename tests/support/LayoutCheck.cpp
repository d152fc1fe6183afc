#include "tests/support/LayoutCheck.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QWidget>

namespace {

QString describe(const QWidget* w) {
    QString name = w->objectName();
    if (name.isEmpty())
        name = QString::fromLatin1(w->metaObject()->className());
    QString text;
    if (const auto* label = qobject_cast<const QLabel*>(w))
        text = label->text();
    else if (const auto* button = qobject_cast<const QAbstractButton*>(w))
        text = button->text();
    return text.isEmpty() ? name : QStringLiteral("%1 \"%2\"").arg(name, text);
}

QString sizeText(QSize s) {
    return QStringLiteral("%1x%2").arg(s.width()).arg(s.height());
}

} // namespace

QStringList clippedWidgets(QWidget* window) {
    // Nested layouts answer each other's requests one level at a time.
    for (int i = 0; i < 4; ++i)
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QStringList clipped;
    const auto children = window->findChildren<QWidget*>();
    for (const QWidget* w : children) {
        if (!w->isVisibleTo(window))
            continue;
        const auto* label = qobject_cast<const QLabel*>(w);
        if (label == nullptr && qobject_cast<const QAbstractButton*>(w) == nullptr)
            continue;
        QSize need = w->sizeHint();
        if (label != nullptr && label->wordWrap())
            need = QSize(label->minimumSizeHint().width(), label->heightForWidth(w->width()));
        if (w->width() < need.width() || w->height() < need.height())
            clipped << QStringLiteral("%1 is %2 but needs %3")
                           .arg(describe(w), sizeText(w->size()), sizeText(need));
        else if (!w->parentWidget()->rect().contains(w->geometry()))
            clipped << QStringLiteral("%1 at %2,%3 reaches beyond its parent's %4")
                           .arg(describe(w))
                           .arg(w->x())
                           .arg(w->y())
                           .arg(sizeText(w->parentWidget()->size()));
    }
    return clipped;
}
