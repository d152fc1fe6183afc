#pragma once
// A recording notification server for tests: keeps what it was asked to show and close,
// answers a Notify only when the test says so, and answers a close with NotificationClosed
// as a server does.

#include "platform/DesktopNotifications.h"

#include <functional>
#include <vector>

class FakeDesktopNotifications final : public DesktopNotifications {
public:
    struct Shown {
        quint32 id;
        DesktopNotice notice;
    };

    QStringList capabilities() override { return caps; }
    void notify(const DesktopNotice& notice, std::function<void(quint32 id)> done) override {
        const quint32 id = !server ? 0 : notice.replaces != 0 ? notice.replaces : m_nextId++;
        if (server)
            shown.push_back({id, notice});
        m_unanswered.push_back([done, id] { done(id); });
    }
    void close(quint32 id) override {
        closedIds.push_back(id);
        emit closed(id);
    }
    // Gives the Notify calls made so far their answers.
    void answer() {
        const auto calls = std::move(m_unanswered);
        m_unanswered.clear();
        for (const auto& call : calls)
            call();
    }
    void invoke(quint32 id, const QString& key) { emit actionInvoked(id, key); }
    void expire(quint32 id) { emit closed(id); }

    QStringList caps;
    // False: no server, every Notify fails.
    bool server = true;
    std::vector<Shown> shown;
    std::vector<quint32> closedIds;

private:
    std::vector<std::function<void()>> m_unanswered;
    quint32 m_nextId = 1;
};
