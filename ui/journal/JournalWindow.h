#pragma once
// The journal window: lists the reminders the user missed (while the program was not
// running, or while the computer slept), one entry each, top to bottom. "Ok" on an entry
// dismisses that occurrence while the window lives, refills included; "Edit..." asks for the
// reminder's editor. One journal window at a time; it destroys itself when it closes and hands
// its placement on as it goes.

#include "core/MissedJournal.h"
#include "desktop/ProgramSettings.h"
#include "i18n/Texts.h"
#include "ui/controls/WindowList.h"

#include <QList>
#include <QSize>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <set>
#include <utility>
#include <vector>

class MissedEntry;
class WindowPlacer;
namespace Ui {
class JournalWindow;
}

class JournalWindow final : public QWidget {
    Q_OBJECT
public:
    // The client size at the default font, which is also the smallest.
    static constexpr QSize DesignedSize{574, 237};

    // Placed as given (a size of 0 keeps the designed one); emits left() when destroyed.
    explicit JournalWindow(const WindowPlacement& placement);
    ~JournalWindow() override;

    // "Events that skipped from <from> to <to>", the moments in the regional format.
    void setCaption(Moment from, Moment to, const Texts& texts);
    // Replaces the entries with one per occurrence, in the order given, leaving out those
    // dismissed in this window.
    void fill(const std::vector<MissedOccurrence>& missed);
    // The entries not dismissed, top to bottom.
    QList<MissedEntry*> entries() const;
    // Shows the window, restored if it was minimized, in front.
    void bringBack();
    // True once the window has begun closing: the journal command opens a new one then.
    bool isClosing() const { return m_closing; }

signals:
    void editRequested(std::int32_t number);
    // "Ok" on the entry of that reminder and occurrence.
    void entryDismissed(std::int32_t number, Moment occurrence);
    // The window is being destroyed; placement is where the next one should open.
    void left(const WindowPlacement& placement);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    WindowList<JournalWindow>::Entry m_listed{this};
    std::unique_ptr<Ui::JournalWindow> m_ui;
    WindowPlacer* m_placer;
    bool m_closing = false;
    // The occurrences dismissed with "Ok": by reminder number and moment.
    std::set<std::pair<std::int32_t, Moment>> m_dismissed;
};
