#include "dbus/RemindersInterface.h"

#include "app/Reminders.h"
#include "core/ReminderRules.h"
#include "dbus/ProgramCommands.h"
#include "dbus/ReminderFields.h"

#include <QDBusConnection>

#include <limits>

RemindersInterface::RemindersInterface(QObject* object, Reminders& reminders,
                                       ProgramCommands& commands, QString version)
    : QDBusAbstractAdaptor(object), m_reminders(reminders), m_commands(commands),
      m_version(std::move(version)) {
    registerReminderEntry();
    connect(&m_reminders, &Reminders::changed, this, &RemindersInterface::followChanges);
}

void RemindersInterface::followChanges(const std::vector<std::int32_t>& numbers) {
    QList<uint> changed;
    for (std::int32_t n : numbers)
        if (n >= 0)
            changed << uint(n);
    emit Changed(changed);
}

void RemindersInterface::fail(const QDBusMessage& message, const char* name, const QString& text) {
    message.setDelayedReply(true);
    QDBusConnection::sessionBus().send(message.createErrorReply(QLatin1String(name), text));
}

bool RemindersInterface::storeReady(const QDBusMessage& message) const {
    if (m_reminders.isLoaded() && m_reminders.fileWritable())
        return true;
    fail(message, StoreUnavailable,
         QStringLiteral("The reminder file %1 cannot be read now")
             .arg(QString::fromStdString(m_reminders.filePath())));
    return false;
}

std::int32_t RemindersInterface::existing(uint number, const QDBusMessage& message) const {
    if (number <= uint(std::numeric_limits<std::int32_t>::max()) &&
        m_reminders.repository().findRow(std::int32_t(number)) != nullptr)
        return std::int32_t(number);
    fail(message, NotFound, QStringLiteral("There is no reminder %1").arg(number));
    return -1;
}

uint RemindersInterface::Add(const QVariantMap& fields, const QDBusMessage& message) {
    if (!storeReady(message))
        return 0;
    Reminder reminder = newReminderDefaults(m_reminders.clock().now().local);
    if (const Status status = applyFields(fields, reminder); !status) {
        fail(message, InvalidArgument, QString::fromStdString(status.error));
        return 0;
    }
    if (const QString missing = missingField(reminder); !missing.isEmpty()) {
        fail(message, InvalidArgument, missing);
        return 0;
    }
    const Status result = m_reminders.add(reminder);
    if (!result) {
        fail(message, InvalidArgument, QString::fromStdString(result.message()));
        return 0;
    }
    return uint(*result.number);
}

void RemindersInterface::Update(uint number, const QVariantMap& changes,
                                const QDBusMessage& message) {
    if (!storeReady(message))
        return;
    const std::int32_t n = existing(number, message);
    if (n < 0)
        return;
    if (m_commands.isBeingEdited(n)) {
        fail(message, Busy, QStringLiteral("Reminder %1 is open in an editor").arg(number));
        return;
    }
    Reminder reminder = *m_reminders.reminder(n);
    if (const Status status = applyFields(changes, reminder); !status) {
        fail(message, InvalidArgument, QString::fromStdString(status.error));
        return;
    }
    if (const QString missing = missingField(reminder); !missing.isEmpty()) {
        fail(message, InvalidArgument, missing);
        return;
    }
    const Status result = m_reminders.update(n, reminder);
    if (!result)
        fail(message, InvalidArgument, QString::fromStdString(result.message()));
}

QVariantMap RemindersInterface::Get(uint number, const QDBusMessage& message) {
    if (!storeReady(message))
        return {};
    const std::int32_t n = existing(number, message);
    if (n < 0)
        return {};
    const ClockReading now = m_reminders.clock().now();
    return fieldsOf(*m_reminders.repository().findRow(n), now,
                    TimeZoneSpan::around(m_reminders.clock(), now.utc), m_commands.texts());
}

void RemindersInterface::Remove(uint number, const QDBusMessage& message) {
    if (!storeReady(message))
        return;
    const std::int32_t n = existing(number, message);
    if (n < 0)
        return;
    if (m_commands.isBeingEdited(n)) {
        fail(message, Busy, QStringLiteral("Reminder %1 is open in an editor").arg(number));
        return;
    }
    (void)m_reminders.remove(n); // known to exist
}

QList<ReminderEntry> RemindersInterface::List(const QDBusMessage& message) {
    if (!storeReady(message))
        return {};
    const ClockReading now = m_reminders.clock().now();
    const TimeZoneSpan zone = TimeZoneSpan::around(m_reminders.clock(), now.utc);
    const ReminderTable& table = m_reminders.repository().table();
    QList<ReminderEntry> entries;
    entries.reserve(qsizetype(table.count()));
    for (std::size_t i = 0; i < table.count(); ++i) {
        const ReminderRow& row = table.rowAt(i);
        // A row without a number cannot be asked for again.
        if (row.isNull(Col::N) || row.number() < 0)
            continue;
        entries.push_back({uint(row.number()), fieldsOf(row, now, zone, m_commands.texts())});
    }
    return entries;
}
