#pragma once
// A text label that works as a hyperlink: a hand cursor, the link colour while the mouse
// is over it, an optional offset shadow and an embossed caption when disabled. A click,
// or Space or Enter while it has the focus, opens its caption as an address through the
// desktop, with the prefix of its address type in front. Assistive technology sees a link.

#include <QColor>
#include <QWidget>

class LinkLabel final : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText)
    Q_PROPERTY(UrlType urlType READ urlType WRITE setUrlType)
    Q_PROPERTY(bool addsPrefix READ addsPrefix WRITE setAddsPrefix)
    Q_PROPERTY(bool lengthLimited READ lengthLimited WRITE setLengthLimited)
    Q_PROPERTY(bool urlEnabled READ urlEnabled WRITE setUrlEnabled)
    Q_PROPERTY(QColor linkColor READ linkColor WRITE setLinkColor)
    Q_PROPERTY(int shadowSize READ shadowSize WRITE setShadowSize)

public:
    // The kind of address, which gives the prefix: "file://", "ftp://", "gopher://",
    // "http://", "https://", "mailto:", "news:", "telnet:", "wais:".
    enum class UrlType { File, Ftp, Gopher, Http, Https, Mailto, News, Telnet, Wais };
    Q_ENUM(UrlType)
    // The side the shadow shows on; the shadow and the text only ever move right or down.
    enum class ShadowPosition { LeftTop, LeftBottom, RightBottom, RightTop };
    Q_ENUM(ShadowPosition)

    // The longest address that is opened while the length is limited. A longer one is
    // refused, not cut: a cut address opens another page.
    static constexpr int MaxTargetLength = 79;

    explicit LinkLabel(QWidget* parent = nullptr);

    static QString prefixOf(UrlType type);

    QString text() const { return m_text; }
    void setText(const QString& text);
    UrlType urlType() const { return m_urlType; }
    void setUrlType(UrlType type);
    // Whether the type's prefix goes in front of the caption (never a second time).
    bool addsPrefix() const { return m_addsPrefix; }
    void setAddsPrefix(bool on);
    // Whether an address longer than MaxTargetLength is refused (the default). Off for an
    // address the program makes itself, such as the path of its own user guide, which is
    // as long as the folder it is installed in.
    bool lengthLimited() const { return m_lengthLimited; }
    void setLengthLimited(bool on);
    // Whether a click opens the address.
    bool urlEnabled() const { return m_urlEnabled; }
    void setUrlEnabled(bool on) { m_urlEnabled = on; }
    QColor linkColor() const { return m_linkColor; }
    void setLinkColor(const QColor& colour) { m_linkColor = colour; }
    // A shadow `size` pixels off the text in `colour`; size 0 draws none.
    int shadowSize() const { return m_shadowSize; }
    void setShadowSize(int size);
    void setShadow(int size, const QColor& colour, ShadowPosition position);

    // The address a click opens: the prefix (unless the caption already starts with it)
    // and the caption.
    QString target() const;
    // Whether the address is too long to be opened.
    bool isRefused() const;
    // Opens the address through the desktop; false when nothing was opened (no caption,
    // opening switched off, the address refused, or the desktop could not open it).
    bool open();
    // What a click does: clicked(), then open().
    void activate();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

signals:
    // A click or Space or Enter, before the address is opened.
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The tooltip shows the address, or why it is not opened.
    void updateToolTip();

    QString m_text;
    UrlType m_urlType = UrlType::Mailto;
    bool m_addsPrefix = true;
    bool m_lengthLimited = true;
    bool m_urlEnabled = true;
    QColor m_linkColor = Qt::blue;
    int m_shadowSize = 0;
    QColor m_shadowColor;
    ShadowPosition m_shadowPosition = ShadowPosition::LeftTop;
    bool m_hovered = false;
    bool m_pressed = false;
};
