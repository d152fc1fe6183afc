#pragma once
// The reminder editor: one window per reminder being created or changed. Its opener
// fills it from a record; "Ok" turns the controls back into a record and hands it to
// the data module, which stores it. The editor never reads the table itself.

#include "core/Clock.h"
#include "core/Reminder.h"
#include "core/ReminderRepository.h"
#include "i18n/Texts.h"

#include <QIcon>
#include <QList>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class QButtonGroup;
class QCheckBox;
class ScreenBound;
class SoundPlayer;

namespace Ui {
class ReminderEditor;
}

// What an editor needs from the program, given by the window that opens it.
struct EditorContext {
    EditorContext(ReminderRepository& d, SoundPlayer& player) : data(d), soundPlayer(player) {}

    ReminderRepository& data;
    // Plays the sounds of the test buttons.
    SoundPlayer& soundPlayer;
    const Clock* clock = &systemClock();
    // The texts of the messages the editor shows.
    Texts texts;
    // Writes the whole reminder file; false when that failed.
    std::function<bool()> saveTable;
    // Tells the list that the reminders changed.
    std::function<void()> tableChanged;
    // Window icons of editors for new reminders and for existing ones.
    QIcon newIcon;
    QIcon editIcon;
};

class ReminderEditor final : public QWidget {
    Q_OBJECT

public:
    static constexpr int MaxMessageLength = 100;

    // A top-level window without owner that destroys itself when it closes. The
    // context is copied; its data module must outlive the window.
    explicit ReminderEditor(const EditorContext& context);
    ~ReminderEditor() override;

    // Opening: mode, caption and icon, then every control from a record.
    void setNewMode();
    void setEditMode(std::int32_t number);
    void fill(const Reminder& reminder);
    // The record the controls describe (seconds 0).
    Reminder reminder() const;

    bool isNew() const { return m_isNew; }
    // The number of the reminder being changed; -1 for a new one.
    std::int32_t number() const { return m_number; }
    // The day kind selected: a date, days of the week, or a day of every month.
    ScheduleKind scheduleKind() const;
    // True once the window has begun closing.
    bool isClosing() const { return m_closing; }

    // The open editor of reminder `number`, or null. Editors of new reminders are
    // never found.
    static ReminderEditor* find(std::int32_t number);

public slots:
    // "Ok": checks the entries, saves the reminder, writes the reminder file and
    // closes. A failed check shows why and stays open with the focus on the cause; a
    // record the data module did not save keeps the window open too.
    void accept();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void setInitialState();
    void setUpKeys();
    void wireRules();
    // Applies the editor section of the language file in use; without one the built-in
    // English texts of the form stay.
    void loadTexts();
    void setAccessibleNames();

    // "On schedule" or "After start": only the chosen side takes input.
    void updateScheduleEnabling();
    // Inside the schedule side, only the controls of the day kind take input.
    void enableKindControls(ScheduleKind kind);
    void limitMessage();

    // Shows why "Ok" cannot save, then puts the focus on the cause.
    void refuse(const std::string& why, QWidget* cause);
    // Focuses a control and scrolls it into view.
    void focusControl(QWidget* control, Qt::FocusReason reason);
    // The designed size, or the content scrolling within `room` where that is smaller,
    // with "Ok" and "Cancel" always in view.
    void fitToScreen(QSize room);

    void testSound(const QString& path);
    void stopSound();
    void testOpen(const QString& path);

    // The widget Tab reaches after (or before) `from`, skipping what cannot take it.
    QWidget* nextInTabOrder(QWidget* from, bool next) const;
    bool takesTabFocus(QWidget* widget) const;

    std::unique_ptr<Ui::ReminderEditor> m_ui;
    EditorContext m_context;
    // Monday first.
    std::array<QCheckBox*, 7> m_dayChecks{};
    QButtonGroup* m_momentGroup;
    QButtonGroup* m_kindGroup;
    QButtonGroup* m_powerGroup;
    ScreenBound* m_screenBound = nullptr;
    // The focusable controls in tab order, and those in which Enter moves along it.
    QList<QWidget*> m_tabOrder;
    QList<QWidget*> m_enterMovesFocus;
    QString m_captionNew;
    QString m_captionEdit;
    std::int32_t m_number = -1;
    bool m_isNew = true;
    bool m_closing = false;
};

// Brings back the editor already open for reminder `number` (restored when minimized,
// raised), or opens one in edit mode; null when there is no such reminder.
ReminderEditor* openEditorFor(std::int32_t number, const EditorContext& context);
// An editor for a new reminder: with the defaults for a new one, or a copy of
// *copyFrom (its number and creation date are not taken over).
ReminderEditor* openNewEditor(const EditorContext& context, const Reminder* copyFrom = nullptr);
// The record an editor for a new reminder starts from, at the moment now.
Reminder newReminderDefaults(Moment now);
