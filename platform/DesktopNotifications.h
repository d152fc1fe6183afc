#pragma once
// Desktop notifications: org.freedesktop.Notifications on Linux, where the program shows one
// beside an alert window that cannot stay above the user's work (a native Wayland client).

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

struct DesktopNotice {
    QString summary;
    QString body;
    // Keys and labels, in pairs; "default" is the click on the notification itself.
    QStringList actions;
    // Kept by the server until acted on or closed (where it lists "persistence").
    bool resident = false;
    // The notification this one replaces, 0 for a new one.
    quint32 replaces = 0;
};

class DesktopNotifications : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~DesktopNotifications() override;

    // What the server can do ("actions", "persistence"...), asked once; empty without one.
    virtual QStringList capabilities() = 0;
    // Shows the notice, critical and silent (the program plays its own sound); `shown` gets
    // its id later, 0 when no server took it.
    virtual void notify(const DesktopNotice& notice, std::function<void(quint32 id)> shown) = 0;
    virtual void close(quint32 id) = 0;

signals:
    void actionInvoked(quint32 id, const QString& key);
    // The notification went (expired, dismissed, or closed by the program).
    void closed(quint32 id);
};

// The session's notification server on Linux; none on Windows (null).
std::unique_ptr<DesktopNotifications> createDesktopNotifications();
