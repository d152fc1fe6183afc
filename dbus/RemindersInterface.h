#pragma once
// org.chimewell.Reminders1: the reminders of the running program, typed and extensible
// through dictionaries. Every change goes through the reminders' owner, so it shows in the
// list and is saved at once, as a change made in the editor is.

#include "dbus/ReminderEntry.h"

#include <QDBusAbstractAdaptor>
#include <QDBusMessage>
#include <QList>
#include <QString>
#include <QVariantMap>

#include <cstdint>
#include <vector>

class ProgramCommands;
class Reminders;

class RemindersInterface final : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.chimewell.Reminders1")
    Q_PROPERTY(QString Version READ version)

public:
    static constexpr const char* InvalidArgument = "org.chimewell.Reminders1.Error.InvalidArgument";
    static constexpr const char* NotFound = "org.chimewell.Reminders1.Error.NotFound";
    static constexpr const char* StoreUnavailable =
        "org.chimewell.Reminders1.Error.StoreUnavailable";
    static constexpr const char* Busy = "org.chimewell.Reminders1.Error.Busy";

    // The reminders and the commands must outlive the interface.
    RemindersInterface(QObject* object, Reminders& reminders, ProgramCommands& commands,
                       QString version);

    QString version() const { return m_version; }

public slots:
    uint Add(const QVariantMap& reminder, const QDBusMessage& message);
    void Update(uint number, const QVariantMap& changes, const QDBusMessage& message);
    QVariantMap Get(uint number, const QDBusMessage& message);
    void Remove(uint number, const QDBusMessage& message);
    QList<ReminderEntry> List(const QDBusMessage& message);

signals:
    void Changed(const QList<uint>& numbers);

private:
    void followChanges(const std::vector<std::int32_t>& numbers);
    // Answers the call with an error instead of the slot's result.
    static void fail(const QDBusMessage& message, const char* name, const QString& text);
    // False, with the call answered, while the reminder file cannot be used.
    bool storeReady(const QDBusMessage& message) const;
    // The reminder's number, when the table holds it; else the call is answered NotFound.
    std::int32_t existing(uint number, const QDBusMessage& message) const;

    Reminders& m_reminders;
    ProgramCommands& m_commands;
    QString m_version;
};
