#include "platform/FreedesktopNotifications.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusReply>
#include <QVariantMap>

namespace {

const QString Service = QStringLiteral("org.freedesktop.Notifications");
const QString Path = QStringLiteral("/org/freedesktop/Notifications");
const QString Interface = QStringLiteral("org.freedesktop.Notifications");
// The desktop entry the server finds the program's name and icon in.
const QString DesktopEntry = QStringLiteral("org.chimewell.Chimewell");
constexpr int TimeoutMs = 5000;
// The urgency hint's value for "critical".
constexpr uchar Critical = 2;

} // namespace

FreedesktopNotifications::FreedesktopNotifications(QObject* parent)
    : DesktopNotifications(parent), m_server(std::make_unique<QDBusInterface>(
                                        Service, Path, Interface, QDBusConnection::sessionBus())) {
    m_server->setTimeout(TimeoutMs);
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.connect(Service, Path, Interface, QStringLiteral("ActionInvoked"), this,
                SLOT(onActionInvoked(uint, QString)));
    bus.connect(Service, Path, Interface, QStringLiteral("NotificationClosed"), this,
                SLOT(onClosed(uint, uint)));
}

FreedesktopNotifications::~FreedesktopNotifications() = default;

QStringList FreedesktopNotifications::capabilities() {
    if (!m_capabilities) {
        const QDBusReply<QStringList> reply = m_server->call(QStringLiteral("GetCapabilities"));
        m_capabilities = reply.isValid() ? reply.value() : QStringList();
    }
    return *m_capabilities;
}

void FreedesktopNotifications::notify(const DesktopNotice& notice,
                                      std::function<void(quint32 id)> shown) {
    QVariantMap hints{{QStringLiteral("urgency"), QVariant::fromValue(Critical)},
                      {QStringLiteral("desktop-entry"), DesktopEntry},
                      {QStringLiteral("suppress-sound"), true}};
    if (notice.resident)
        hints.insert(QStringLiteral("resident"), true);
    // A critical notification stays until it is acted on: no time-out of the program's own.
    const QDBusPendingCall call =
        m_server->asyncCall(QStringLiteral("Notify"), QStringLiteral("Chimewell"), notice.replaces,
                            QString(), notice.summary, notice.body, notice.actions, hints, 0);
    auto* watcher = new QDBusPendingCallWatcher(call, this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [shown = std::move(shown)](QDBusPendingCallWatcher* w) {
                w->deleteLater();
                const QDBusPendingReply<uint> reply = *w;
                if (shown)
                    shown(reply.isError() ? 0 : reply.value());
            });
}

void FreedesktopNotifications::close(quint32 id) {
    if (id != 0)
        m_server->asyncCall(QStringLiteral("CloseNotification"), id);
}

void FreedesktopNotifications::onActionInvoked(uint id, const QString& key) {
    emit actionInvoked(id, key);
}

void FreedesktopNotifications::onClosed(uint id, uint /*reason*/) {
    emit closed(id);
}
