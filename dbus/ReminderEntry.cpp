#include "dbus/ReminderEntry.h"

#include <QDBusMetaType>

QDBusArgument& operator<<(QDBusArgument& arg, const ReminderEntry& entry) {
    arg.beginStructure();
    arg << entry.number << entry.fields;
    arg.endStructure();
    return arg;
}

const QDBusArgument& operator>>(const QDBusArgument& arg, ReminderEntry& entry) {
    arg.beginStructure();
    arg >> entry.number >> entry.fields;
    arg.endStructure();
    return arg;
}

void registerReminderEntry() {
    qDBusRegisterMetaType<ReminderEntry>();
    qDBusRegisterMetaType<QList<ReminderEntry>>();
}
