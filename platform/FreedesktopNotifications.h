#pragma once
// org.freedesktop.Notifications on the session bus, through Qt DBus.

#include "platform/DesktopNotifications.h"

#include <optional>

class QDBusInterface;

class FreedesktopNotifications final : public DesktopNotifications {
    Q_OBJECT
public:
    explicit FreedesktopNotifications(QObject* parent = nullptr);
    ~FreedesktopNotifications() override;

    QStringList capabilities() override;
    void notify(const DesktopNotice& notice, std::function<void(quint32 id)> shown) override;
    void close(quint32 id) override;

private slots:
    void onActionInvoked(uint id, const QString& key);
    void onClosed(uint id, uint reason);

private:
    std::unique_ptr<QDBusInterface> m_server;
    std::optional<QStringList> m_capabilities;
};
