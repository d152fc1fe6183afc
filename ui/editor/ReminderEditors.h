#pragma once
// Opens the reminders' editors and brings open ones back: the one way the list, the alert
// windows and the journal reach an editor. It gives each editor the reminders, the texts
// of the language in use and the window icons.

#include "core/Reminder.h"
#include "i18n/LanguageFile.h"
#include "i18n/Texts.h"

#include <QIcon>

#include <cstdint>

class ReminderEditor;
class Reminders;
class SoundPlayer;

class ReminderEditors final {
public:
    // The reminders and the player must outlive this object and every editor it opens.
    ReminderEditors(Reminders& reminders, SoundPlayer& player);

    Reminders& reminders() const { return m_reminders; }
    const Texts& texts() const { return m_texts; }
    // The texts that editors opened from now on show.
    void setTexts(const Texts& texts) { m_texts = texts; }
    // The editor's section of the language in use, for editors opened from now on.
    void setLines(const LanguageSection<EditorLine>& lines) { m_lines = lines; }
    // Window icons of editors for new reminders and for existing ones.
    void setIcons(const QIcon& newIcon, const QIcon& editIcon);

    // Brings back the editor already open for reminder `number` (restored when minimized,
    // raised), or opens one in edit mode; null when there is no such reminder.
    ReminderEditor* openEditorFor(std::int32_t number) const;
    // An editor for a new reminder: with the defaults for a new one as of the reminders'
    // clock, or a copy of *copyFrom (its number and creation date are not taken over).
    ReminderEditor* openNew(const Reminder* copyFrom = nullptr) const;

private:
    Reminders& m_reminders;
    SoundPlayer& m_player;
    Texts m_texts;
    LanguageSection<EditorLine> m_lines;
    QIcon m_newIcon;
    QIcon m_editIcon;
};
