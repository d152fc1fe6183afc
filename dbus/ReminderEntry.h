#pragma once
// One entry of the reminders' list on the bus, (ua{sv}): the number and its keys.

#include <QDBusArgument>
#include <QList>
#include <QMetaType>
#include <QVariantMap>

struct ReminderEntry {
    uint number = 0;
    QVariantMap fields;
};

QDBusArgument& operator<<(QDBusArgument& arg, const ReminderEntry& entry);
const QDBusArgument& operator>>(const QDBusArgument& arg, ReminderEntry& entry);

// Makes the entry and its list known to Qt's D-Bus type system; once is enough.
void registerReminderEntry();

Q_DECLARE_METATYPE(ReminderEntry)
