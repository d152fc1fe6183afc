#pragma once
// Turns SIGTERM, SIGINT and SIGHUP into a call on the GUI thread, so that the end
// of a desktop session (or a kill from a terminal) exits in order, saving first.

#include <QObject>
#include <functional>

class QSocketNotifier;

class ExitSignals final : public QObject {
    Q_OBJECT
public:
    ExitSignals(std::function<void()> onSignal, QObject* parent = nullptr);
    ~ExitSignals() override;

private:
    std::function<void()> m_onSignal;
    QSocketNotifier* m_notifier = nullptr;
};
