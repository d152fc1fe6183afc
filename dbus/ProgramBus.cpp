#include "dbus/ProgramBus.h"

#include "dbus/ApplicationInterface.h"
#include "dbus/BusNames.h"
#include "dbus/RemindersInterface.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusError>

PublishedProgram publishProgram(Reminders& reminders, ProgramCommands& commands,
                                const QString& version) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return {nullptr,
                Status::failure("No session bus: " + bus.lastError().message().toStdString())};
    auto object = std::make_unique<QObject>();
    object->setObjectName(QStringLiteral("programBusObject"));
    new ApplicationInterface(object.get(), commands);
    new RemindersInterface(object.get(), reminders, commands, version);
    if (!bus.registerObject(QLatin1String(ProgramObjectPath), object.get(),
                            QDBusConnection::ExportAdaptors))
        return {nullptr, Status::failure("Unable to register " + std::string(ProgramObjectPath) +
                                         " on the session bus")};
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
        bus.interface()->registerService(QLatin1String(ProgramBusName),
                                         QDBusConnectionInterface::DontQueueService,
                                         QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid() || reply.value() != QDBusConnectionInterface::ServiceRegistered) {
        bus.unregisterObject(QLatin1String(ProgramObjectPath));
        return {nullptr,
                Status::failure("Unable to take the name " + std::string(ProgramBusName) +
                                " on the session bus" +
                                (reply.isValid() ? std::string(": it is taken")
                                                 : ": " + reply.error().message().toStdString()))};
    }
    return {std::move(object), {}};
}
