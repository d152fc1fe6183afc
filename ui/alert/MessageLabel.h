#pragma once
// The alert's text: plain text wrapped at word boundaries, and inside any word too long
// for a line, so that no message makes the window wider than designed. Everything else
// (the text, font, accessibility) is the label's.

#include <QLabel>

class QTextLayout;

class MessageLabel final : public QLabel {
    Q_OBJECT

public:
    explicit MessageLabel(QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Breaks the text into lines `width` pixels wide, placed from the top left; gives
    // the height they take.
    int layOut(QTextLayout& layout, int width) const;
    // What the frame and the margin take around the text.
    QSize extra() const;
};
