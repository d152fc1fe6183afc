#pragma once
// One entry of the journal window: the number of a reminder that was missed, when it
// should have come and its message, with "Ok" to dismiss the entry and "Edit..." to open
// the reminder. Its background tells where the focus and the mouse are.

#include "core/MissedJournal.h"

#include <QColor>
#include <QFrame>

#include <cstdint>
#include <memory>

namespace Ui {
class MissedEntry;
}

class MissedEntry final : public QFrame {
    Q_OBJECT
public:
    explicit MissedEntry(const MissedOccurrence& missed, QWidget* parent = nullptr);
    ~MissedEntry() override;

    // The backgrounds: normal, with the focus in the entry, and under the mouse.
    static QColor normalColor() { return Qt::white; }
    static QColor focusColor();
    static QColor hoverColor() { return {248, 248, 239}; }

    std::int32_t number() const { return m_number; }
    QColor background() const;

    // Gives the numbers and the times of all entries one width each, the widest one's
    // (the times at least their designed width), so that the columns line up.
    static void alignColumns(const QList<MissedEntry*>& entries);

signals:
    // "Edit..." for a reminder with a number.
    void editRequested(std::int32_t number);
    // "Ok": the user has seen this entry.
    void dismissed();

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void paint(const QColor& colour);
    void focusMoved(QWidget* from, QWidget* to);
    bool holds(const QWidget* widget) const;
    // "Ok": the entry goes, once its click has been handled.
    void dismiss();

    std::unique_ptr<Ui::MissedEntry> m_ui;
    std::int32_t m_number;
    QMetaObject::Connection m_focusWatch;
};
