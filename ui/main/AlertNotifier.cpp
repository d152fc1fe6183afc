#include "ui/main/AlertNotifier.h"

#include "platform/DesktopNotifications.h"
#include "ui/alert/AlertWindow.h"

AlertNotifier::AlertNotifier(std::unique_ptr<DesktopNotifications> notifications, QObject* parent)
    : QObject(parent), m_notifications(std::move(notifications)) {
    connect(m_notifications.get(), &DesktopNotifications::actionInvoked, this,
            &AlertNotifier::actionInvoked);
    connect(m_notifications.get(), &DesktopNotifications::closed, this, &AlertNotifier::closed);
}

AlertNotifier::~AlertNotifier() = default;

void AlertNotifier::watch(AlertWindow* window) {
    // A window watched already notifies by itself when it is presented again.
    if (m_ids.contains(window))
        return;
    m_ids.insert(window, 0);
    connect(window, &AlertWindow::presented, this, [this, window] { notify(window); });
    connect(window, &AlertWindow::postponed, this, [this, window] { withdraw(window, false); });
    connect(window, &AlertWindow::answered, this, [this, window] { withdraw(window, true); });
    // Destroyed unanswered at the end of the program: its notification goes with it.
    connect(window, &QObject::destroyed, this, [this, window] { withdraw(window, true); });
    notify(window);
}

void AlertNotifier::notify(AlertWindow* window) {
    const QStringList capabilities = m_notifications->capabilities();
    DesktopNotice notice;
    notice.summary = window->dueText();
    notice.body = window->message();
    notice.resident = capabilities.contains(QStringLiteral("persistence"));
    notice.replaces = m_ids.value(window);
    if (capabilities.contains(QStringLiteral("actions"))) {
        notice.actions = {QStringLiteral("default"), QString(), QStringLiteral("ok"),
                          window->okText()};
        for (int minutes : PostponeMinutes)
            notice.actions << QString::number(minutes) << QString::number(minutes);
    }
    QPointer<AlertWindow> alive(window);
    m_notifications->notify(notice, [this, alive](quint32 id) {
        if (id == 0)
            return; // no server: the window alone
        // Answered or postponed while the server was still answering: the notification
        // goes at once.
        if (!alive || !m_ids.contains(alive) || !alive->isVisible()) {
            m_notifications->close(id);
            return;
        }
        m_ids[alive] = id;
    });
}

void AlertNotifier::withdraw(AlertWindow* window, bool forget) {
    const auto it = m_ids.find(window);
    if (it == m_ids.end())
        return;
    const quint32 id = it.value();
    if (forget)
        m_ids.erase(it);
    else
        it.value() = 0;
    if (id != 0)
        m_notifications->close(id);
}

AlertWindow* AlertNotifier::windowOf(quint32 id) const {
    for (auto it = m_ids.cbegin(); it != m_ids.cend(); ++it)
        if (it.value() == id && id != 0)
            return it.key();
    return nullptr;
}

void AlertNotifier::actionInvoked(quint32 id, const QString& key) {
    AlertWindow* window = windowOf(id);
    if (window == nullptr)
        return; // another program's notification, or one already withdrawn
    if (key == QLatin1String("default")) {
        window->bringForward();
        return;
    }
    if (key == QLatin1String("ok")) {
        window->answer();
        return;
    }
    for (int minutes : PostponeMinutes)
        if (key == QString::number(minutes))
            window->postpone(minutes);
}

void AlertNotifier::closed(quint32 id) {
    // Expired or dismissed: the window stays as it is and is still to be answered.
    if (AlertWindow* window = windowOf(id))
        m_ids[window] = 0;
}
