#include "engine/MinuteScan.h"

#include "engine/AlertDelivery.h"

namespace {
// The scan looks a minute back, so that a reminder stays due through its minute.
constexpr std::chrono::minutes LookBack{1};
} // namespace

bool isDue(const ReminderRow& row, Moment now, Moment programStart,
           std::chrono::milliseconds window) {
    using std::chrono::minutes;
    if (!row.flag(Col::AfterStart)) {
        const Moment occurrence = rowNextOccurrence(row, now - LookBack);
        return now >= occurrence && now - occurrence < window;
    }
    // Only a reminder created before this run began can fall due in it.
    if (row.moment(Col::CrDate) > programStart)
        return false;
    const std::int32_t delay = row.integer(Col::MinutesAfterStart);
    if (delay >= 1)
        return now >= programStart + minutes(delay) &&
               now < programStart + minutes(delay) + minutes(1);
    return now < programStart + minutes(delay) + std::chrono::seconds(2);
}

MinuteScan::MinuteScan(ReminderEngine* engine, Moment now)
    : QObject(engine), m_engine(engine), m_now(now) {
}

void MinuteScan::start(ReminderEngine* engine, Moment now) {
    auto* scan = new MinuteScan(engine, now);
    QMetaObject::invokeMethod(scan, &MinuteScan::walk, Qt::QueuedConnection);
}

void MinuteScan::walk() {
    const ReminderTable& table = m_engine->m_reminders.table();
    for (std::size_t i = 0; i < table.count(); ++i) {
        const ReminderRow& row = table.rowAt(i);
        if (!isDue(row, m_now, m_engine->m_programStart, ReminderEngine::DueWindow))
            continue;
        Reminder due = reminderFromRow(row);
        if (!due.afterStart)
            due.moment = rowNextOccurrence(row, m_now - LookBack);
        m_engine->m_dueQueue.push_back(std::move(due));
    }
    QMetaObject::invokeMethod(this, &MinuteScan::announce, Qt::QueuedConnection);
}

void MinuteScan::announce() {
    emit m_engine->scanned(m_now);
    QMetaObject::invokeMethod(this, &MinuteScan::startDelivery, Qt::QueuedConnection);
}

void MinuteScan::startDelivery() {
    AlertDelivery::start(m_engine);
    deleteLater();
}
