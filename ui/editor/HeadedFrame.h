#pragma once
// A frame headed by a check box or radio button that sits on the frame's top edge
// where a caption would be. The head is a child of the frame, laid out as the first
// row of the frame's layout (left-aligned); the frame line is drawn through its
// middle. The frame adds no margins of its own: its layout's margins are all there
// is. Because disabling the frame would disable its head too, the owner disables
// the frame's contents instead.

#include <QAbstractButton>
#include <QGroupBox>
#include <QPointer>

class HeadedFrame final : public QGroupBox {
    Q_OBJECT

public:
    explicit HeadedFrame(QWidget* parent = nullptr);

    void setHead(QAbstractButton* head);
    QAbstractButton* head() const { return m_head; }

protected:
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QPointer<QAbstractButton> m_head;
};
