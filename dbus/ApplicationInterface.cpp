#include "dbus/ApplicationInterface.h"

#include "dbus/ProgramCommands.h"

#include <QDBusConnection>
#include <QTimer>

ApplicationInterface::ApplicationInterface(QObject* object, ProgramCommands& commands)
    : QDBusAbstractAdaptor(object), m_commands(commands) {
}

template <class Command> void ApplicationInterface::later(Command command) {
    QTimer::singleShot(0, this, [this, command] { (m_commands.*command)(); });
}

void ApplicationInterface::Activate(const QVariantMap&) {
    later(&ProgramCommands::openList);
}

void ApplicationInterface::ActivateAction(const QString& name, const QVariantList&,
                                          const QVariantMap&, const QDBusMessage& message) {
    if (name == QLatin1String("new-reminder"))
        later(&ProgramCommands::newReminder);
    else if (name == QLatin1String("open-list"))
        later(&ProgramCommands::openList);
    else if (name == QLatin1String("journal"))
        later(&ProgramCommands::showJournal);
    else if (name == QLatin1String("sound-off"))
        later(&ProgramCommands::soundOff);
    else if (name == QLatin1String("quit"))
        later(&ProgramCommands::exit);
    else {
        message.setDelayedReply(true);
        QDBusConnection::sessionBus().send(
            message.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"),
                                     QStringLiteral("There is no action %1").arg(name)));
    }
}

void ApplicationInterface::Open(const QStringList&, const QVariantMap&,
                                const QDBusMessage& message) {
    message.setDelayedReply(true);
    QDBusConnection::sessionBus().send(
        message.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.NotSupported"),
                                 QStringLiteral("Chimewell opens no files")));
}
