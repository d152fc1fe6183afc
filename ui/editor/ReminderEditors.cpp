#include "ui/editor/ReminderEditors.h"

#include "app/Reminders.h"
#include "core/ReminderRules.h"
#include "ui/editor/ReminderEditor.h"

ReminderEditors::ReminderEditors(Reminders& reminders, SoundPlayer& player)
    : m_reminders(reminders), m_player(player) {
}

void ReminderEditors::setIcons(const QIcon& newIcon, const QIcon& editIcon) {
    m_newIcon = newIcon;
    m_editIcon = editIcon;
}

ReminderEditor* ReminderEditors::openEditorFor(std::int32_t number) const {
    const std::optional<Reminder> reminder = m_reminders.reminder(number);
    if (!reminder)
        return nullptr;
    if (ReminderEditor* open = WindowList<ReminderEditor>::find(number)) {
        if (open->isMinimized())
            open->setWindowState(open->windowState() & ~Qt::WindowMinimized);
        open->show();
        open->raise();
        open->activateWindow();
        return open;
    }
    auto* editor = new ReminderEditor(m_reminders, m_player, m_texts, m_lines);
    editor->setEditMode(number, m_editIcon);
    editor->fill(*reminder);
    editor->show();
    return editor;
}

ReminderEditor* ReminderEditors::openNew(const Reminder* copyFrom) const {
    auto* editor = new ReminderEditor(m_reminders, m_player, m_texts, m_lines);
    editor->setNewMode(m_newIcon);
    editor->fill(copyFrom != nullptr ? *copyFrom
                                     : newReminderDefaults(m_reminders.clock().now().local));
    editor->show();
    return editor;
}
