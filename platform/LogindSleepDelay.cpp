#include "platform/LogindSleepDelay.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace {

const QString Service = QStringLiteral("org.freedesktop.login1");
const QString Path = QStringLiteral("/org/freedesktop/login1");
const QString Manager = QStringLiteral("org.freedesktop.login1.Manager");

} // namespace

void LogindSleepDelay::start() {
    QDBusConnection::systemBus().connect(Service, Path, Manager, QStringLiteral("PrepareForSleep"),
                                         this, SLOT(prepareForSleep(bool)));
    take();
}

void LogindSleepDelay::take() {
    if (m_asking || m_inhibitor.isValid())
        return;
    QDBusMessage message =
        QDBusMessage::createMethodCall(Service, Path, Manager, QStringLiteral("Inhibit"));
    message << QStringLiteral("sleep") << QStringLiteral("Chimewell")
            << QStringLiteral("Noting the time before sleep") << QStringLiteral("delay");
    constexpr int TimeoutMs = 10000;
    m_asking = true;
    auto* watcher = new QDBusPendingCallWatcher(
        QDBusConnection::systemBus().asyncCall(message, TimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* call) {
                call->deleteLater();
                m_asking = false;
                const QDBusPendingReply<QDBusUnixFileDescriptor> reply = *call;
                // Refused, or no logind: the program goes without the delay.
                if (reply.isError() || m_sleeping)
                    return;
                m_inhibitor = reply.value();
            });
}

void LogindSleepDelay::prepareForSleep(bool sleeping) {
    m_sleeping = sleeping;
    if (!sleeping) {
        take();
        return;
    }
    emit aboutToSleep();
    // Closing the descriptor lets the sleep go on.
    m_inhibitor = QDBusUnixFileDescriptor();
}
