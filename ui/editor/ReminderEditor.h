#pragma once
// The reminder editor: one window per reminder being created or changed. Its opener
// (ReminderEditors) fills it from a record; "Ok" turns the controls back into a record and
// hands it to the reminders, which store it. The editor never reads the table itself.

#include "core/Reminder.h"
#include "i18n/LanguageFile.h"
#include "i18n/Texts.h"
#include "ui/controls/WindowList.h"

#include <QIcon>
#include <QList>
#include <QWidget>

#include <array>
#include <cstdint>
#include <memory>
#include <string>

class QButtonGroup;
class QCheckBox;
class Reminders;
class ScreenBound;
class SoundPlayer;

namespace Ui {
class ReminderEditor;
}

class ReminderEditor final : public QWidget {
    Q_OBJECT

public:
    static constexpr int MaxMessageLength = 100;

    // A top-level window without owner that destroys itself when it closes. The reminders
    // and the player (which plays the test button's sound) must outlive the window; the
    // texts are copied.
    ReminderEditor(Reminders& reminders, SoundPlayer& player, const Texts& texts,
                   const LanguageSection<EditorLine>& lines = {});
    ~ReminderEditor() override;

    // Opening: mode, caption and icon (the form's own when null), then every control from a
    // record.
    void setNewMode(const QIcon& icon = {});
    void setEditMode(std::int32_t number, const QIcon& icon = {});
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

public slots:
    // "Ok": checks the entries, hands the reminder to the reminders (which write the file)
    // and closes. A failed check shows why and stays open with the focus on the cause; a
    // record the reminders did not take keeps the window open too.
    void accept();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void setInitialState();
    void setUpKeys();
    void wireRules();
    // Applies the context's editor section; the built-in English texts of the form stay
    // where it has none.
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

    WindowList<ReminderEditor>::Entry m_listed{this};
    std::unique_ptr<Ui::ReminderEditor> m_ui;
    Reminders& m_reminders;
    SoundPlayer& m_player;
    // The texts of the messages the editor shows.
    Texts m_texts;
    // The editor's section of the language file in use.
    LanguageSection<EditorLine> m_lines;
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
