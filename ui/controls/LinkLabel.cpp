#include "ui/controls/LinkLabel.h"

#include "platform/ShellOpen.h"

#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <algorithm>
#include <utility>

namespace {

// A link to assistive technology: its caption is its name, pressing it opens it.
class LinkLabelAccessible final : public QAccessibleWidget {
public:
    explicit LinkLabelAccessible(LinkLabel* label) : QAccessibleWidget(label, QAccessible::Link) {}

    QString text(QAccessible::Text kind) const override {
        const QString text = QAccessibleWidget::text(kind);
        if (kind == QAccessible::Name && text.isEmpty())
            return link()->text();
        if (kind == QAccessible::Value)
            return link()->target();
        return text;
    }
    QStringList actionNames() const override {
        return QAccessibleWidget::actionNames() << pressAction();
    }
    void doAction(const QString& name) override {
        if (name == pressAction())
            link()->activate();
        else
            QAccessibleWidget::doAction(name);
    }

private:
    LinkLabel* link() const { return static_cast<LinkLabel*>(widget()); }
};

QAccessibleInterface* linkAccessibleFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("LinkLabel") && object && object->isWidgetType())
        return new LinkLabelAccessible(static_cast<LinkLabel*>(object));
    return nullptr;
}

void installAccessibleFactory() {
    static const bool installed = [] {
        QAccessible::installFactory(linkAccessibleFactory);
        return true;
    }();
    (void)installed;
}

// Where the text and the shadow go, relative to the unshifted place: both only ever
// move right or down.
struct Offsets {
    QPoint text;
    QPoint shadow;
};

Offsets offsetsFor(LinkLabel::ShadowPosition position, int s) {
    switch (position) {
    case LinkLabel::ShadowPosition::LeftTop:
        return {{s, s}, {0, 0}};
    case LinkLabel::ShadowPosition::LeftBottom:
        return {{s, 0}, {0, s}};
    case LinkLabel::ShadowPosition::RightBottom:
        return {{0, 0}, {s, s}};
    case LinkLabel::ShadowPosition::RightTop:
        return {{0, s}, {s, 0}};
    }
    return {};
}

} // namespace

LinkLabel::LinkLabel(QWidget* parent)
    : QWidget(parent), m_shadowColor(palette().color(QPalette::Light)) {
    installAccessibleFactory();
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    updateToolTip();
}

QString LinkLabel::prefixOf(UrlType type) {
    switch (type) {
    case UrlType::File:
        return QStringLiteral("file://");
    case UrlType::Ftp:
        return QStringLiteral("ftp://");
    case UrlType::Gopher:
        return QStringLiteral("gopher://");
    case UrlType::Http:
        return QStringLiteral("http://");
    case UrlType::Https:
        return QStringLiteral("https://");
    case UrlType::Mailto:
        return QStringLiteral("mailto:");
    case UrlType::News:
        return QStringLiteral("news:");
    case UrlType::Telnet:
        return QStringLiteral("telnet:");
    case UrlType::Wais:
        return QStringLiteral("wais:");
    }
    return {};
}

void LinkLabel::setText(const QString& text) {
    m_text = text;
    updateToolTip();
    updateGeometry();
    update();
}

void LinkLabel::setUrlType(UrlType type) {
    m_urlType = type;
    updateToolTip();
}

void LinkLabel::setAddsPrefix(bool on) {
    m_addsPrefix = on;
    updateToolTip();
}

void LinkLabel::setLengthLimited(bool on) {
    m_lengthLimited = on;
    updateToolTip();
}

void LinkLabel::setShadowSize(int size) {
    m_shadowSize = std::max(0, size);
    updateGeometry();
    update();
}

void LinkLabel::setShadow(int size, const QColor& colour, ShadowPosition position) {
    m_shadowColor = colour;
    m_shadowPosition = position;
    setShadowSize(size);
}

QString LinkLabel::target() const {
    const QString prefix = prefixOf(m_urlType);
    // "http://http://…" opens nothing: a caption that has its prefix keeps it alone.
    if (!m_addsPrefix || m_text.startsWith(prefix, Qt::CaseInsensitive))
        return m_text;
    return prefix + m_text;
}

bool LinkLabel::isRefused() const {
    return m_lengthLimited && target().size() > MaxTargetLength;
}

bool LinkLabel::open() {
    if (m_text.isEmpty() || !m_urlEnabled || isRefused())
        return false;
    return shellOpenAddress(target().toStdString());
}

void LinkLabel::updateToolTip() {
    if (m_text.isEmpty())
        setToolTip({});
    else if (isRefused())
        setToolTip(QStringLiteral("Not opened: the address is longer than %1 characters.\n%2")
                       .arg(MaxTargetLength)
                       .arg(target()));
    else
        setToolTip(target());
}

QSize LinkLabel::sizeHint() const {
    // One line high even without a caption; a pixel's margin left and right, and room
    // for the shadow (at least the disabled look's one pixel).
    const QString shown = m_text.isEmpty() ? QStringLiteral(" ") : m_text;
    const QSize text = fontMetrics().size(Qt::TextExpandTabs, shown);
    const int shadow = std::max(m_shadowSize, 1);
    return {text.width() + shadow + 2, text.height() + shadow};
}

void LinkLabel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QPalette& pal = palette();
    int size = m_shadowSize;
    ShadowPosition position = m_shadowPosition;
    QColor shadow = m_shadowColor;
    QColor colour = m_hovered ? m_linkColor : pal.color(QPalette::WindowText);
    if (!isEnabled()) {
        // Embossed: grey text with a highlight shadow.
        if (size == 0) {
            size = 1;
            position = ShadowPosition::RightBottom;
        }
        colour = pal.color(QPalette::Disabled, QPalette::WindowText);
        shadow = pal.color(QPalette::Light);
    }
    const QRect area = rect().adjusted(1, 0, -1, 0);
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextExpandTabs;
    const Offsets offsets = offsetsFor(position, size);
    if (size > 0) {
        p.setPen(shadow);
        p.drawText(area.translated(offsets.shadow), flags, m_text);
    }
    p.setPen(colour);
    const QRect textArea = area.translated(offsets.text);
    p.drawText(textArea, flags, m_text);

    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect();
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, this);
    }
}

void LinkLabel::enterEvent(QEnterEvent* event) {
    m_hovered = true;
    update();
    QWidget::enterEvent(event);
}

void LinkLabel::leaveEvent(QEvent* event) {
    m_hovered = false;
    update();
    QWidget::leaveEvent(event);
}

void LinkLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    m_pressed = true;
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QWidget::mouseReleaseEvent(event);
    const bool wasPressed = std::exchange(m_pressed, false);
    if (wasPressed && rect().contains(event->position().toPoint()))
        activate();
}

void LinkLabel::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!event->isAutoRepeat())
            activate();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void LinkLabel::activate() {
    emit clicked();
    (void)open();
}
