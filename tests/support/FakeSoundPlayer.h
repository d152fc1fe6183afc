#pragma once
// A recording sound player for tests, so that no test reaches a sound device. Paths listed in
// `unplayable` fail as a real player's would: later, on this thread.

#include "platform/SoundPlayer.h"

#include <QMetaObject>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <string>
#include <vector>

class FakeSoundPlayer final : public SoundPlayer {
public:
    static constexpr const char* Reason = "File contains data in an unknown format.";

    FakeSoundPlayer() = default;
    FakeSoundPlayer(const FakeSoundPlayer&) = delete;
    FakeSoundPlayer& operator=(const FakeSoundPlayer&) = delete;

    void play(const std::string& path, PlayFailed onFailed) override {
        calls << QStringLiteral("play ") + QString::fromStdString(path);
        paths.push_back(path);
        const int asked = ++m_asked;
        if (onFailed && unplayable.contains(QString::fromStdString(path))) {
            m_failures.push_back([this, onFailed, asked] { onFailed(Reason, m_asked != asked); });
            if (!holdFailures)
                releaseFailures();
        }
    }
    // Hands the failures held so far to this thread's event loop.
    void releaseFailures() {
        for (auto& failure : m_failures)
            QMetaObject::invokeMethod(&m_receiver, std::move(failure), Qt::QueuedConnection);
        m_failures.clear();
    }
    void stop() override {
        calls << QStringLiteral("stop");
        ++m_asked;
    }

    // "play <path>" / "stop", in the order asked.
    QStringList calls;
    // The paths played, as the bytes they came as.
    std::vector<std::string> paths;
    QStringList unplayable;
    // While set, failures wait for releaseFailures().
    bool holdFailures = false;

private:
    int m_asked = 0;
    std::vector<std::function<void()>> m_failures;
    QObject m_receiver;
};
