#include "platform/LogindPowerControl.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QString>

namespace {

// A refusal carries logind's (or polkit's) own words, else the error's name.
PowerControl::Reply reply(const QDBusPendingCall& call) {
    if (!call.isError())
        return {true, {}};
    const QDBusError error = call.error();
    const QString text = error.message().isEmpty() ? error.name() : error.message();
    return {false, text.toStdString()};
}

// interactive = false: logind asks nobody, and polkit decides alone.
void callManager(const QString& method, PowerControl::Answer answer) {
    QDBusMessage message = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), method);
    message << false;
    constexpr int TimeoutMs = 10000;
    auto* watcher =
        new QDBusPendingCallWatcher(QDBusConnection::systemBus().asyncCall(message, TimeoutMs));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [answer = std::move(answer)](QDBusPendingCallWatcher* call) {
                         if (answer)
                             answer(reply(*call));
                         call->deleteLater();
                     });
}

} // namespace

void LogindPowerControl::requestPowerOff(Answer answer) {
    callManager(QStringLiteral("PowerOff"), std::move(answer));
}

void LogindPowerControl::requestReboot(Answer answer) {
    callManager(QStringLiteral("Reboot"), std::move(answer));
}
