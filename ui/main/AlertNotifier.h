#pragma once
// Shows a desktop notification beside each alert window, for the desktops where the window
// cannot stay above the user's work: the due time as its summary, the message as its body,
// and, where the server offers actions, "Ok" and postponements by 5, 15 and 60 minutes.
// Acting in either answers or postpones both. A notification that expired, or that went
// because the program closed it, answers nothing.

#include <QHash>
#include <QObject>
#include <QPointer>

#include <memory>

class AlertWindow;
class DesktopNotifications;

class AlertNotifier final : public QObject {
    Q_OBJECT
public:
    explicit AlertNotifier(std::unique_ptr<DesktopNotifications> notifications,
                           QObject* parent = nullptr);
    ~AlertNotifier() override;

    // The minutes of the postponements the notification offers.
    static constexpr int PostponeMinutes[] = {5, 15, 60};

    // Notifies for the window now and whenever it is presented again, until it is answered;
    // nothing for a window watched already.
    void watch(AlertWindow* window);

private:
    void notify(AlertWindow* window);
    // Closes the window's notification, if it has one; `forget`: the window is done with.
    void withdraw(AlertWindow* window, bool forget);
    AlertWindow* windowOf(quint32 id) const;
    void actionInvoked(quint32 id, const QString& key);
    void closed(quint32 id);

    std::unique_ptr<DesktopNotifications> m_notifications;
    // The notification shown for each window that has one.
    QHash<AlertWindow*, quint32> m_ids;
};
