#pragma once
// A minute wake for tests: wakes only when the test calls wake().

#include "platform/MinuteWake.h"

class FakeMinuteWake final : public MinuteWake {
public:
    using MinuteWake::MinuteWake;
    void start() override { m_active = true; }
    bool isActive() const override { return m_active; }
    // As the timer or a resume would.
    void wake() { emit woke(); }

private:
    bool m_active = false;
};
