#include "uScanThingsThread.h"

#include "uPushThingsFromQueueThread.h"

namespace {

// Compares moments to the millisecond, so that day fractions never blur a boundary.
std::int64_t Ms(TDateTime t) {
    return MomentToMs(t);
}

} // namespace

TScanThingsThread::TScanThingsThread(ReminderEngine* own) : QObject(own), Own(own) {
}

void TScanThingsThread::Create(ReminderEngine* Own) {
    auto* scan = new TScanThingsThread(Own);
    QMetaObject::invokeMethod(scan, &TScanThingsThread::Walk, Qt::QueuedConnection);
}

bool TScanThingsThread::IsDue(const ThingRow& row, TDateTime now, const ReminderEngine& engine,
                              eventParams& NewEvent) {
    if (!row.Flag(Col::AfterStart)) {
        const TDateTime m = RowNextTime(row, now, true);
        NewEvent.D = m;
        return Ms(now) >= Ms(m) && Ms(now) - Ms(m) < Ms(engine.DueWindow);
    }
    const std::int32_t k = row.Int(Col::MinutesAfterStart);
    NewEvent.MinutesAfterStart = k;
    NewEvent.CreateDate = row.Real(Col::CrDate);
    // Only a reminder created before this run began can fall due in it.
    if (Ms(row.Real(Col::CrDate)) > Ms(engine.ProgramStartTime))
        return false;
    const std::int64_t start = Ms(engine.ProgramStartTime);
    constexpr std::int64_t minute = 60'000;
    if (k >= 1)
        return Ms(now) >= start + k * minute && Ms(now) < start + (k + 1) * minute;
    return Ms(now) < start + static_cast<std::int64_t>(k) * minute + 2'000;
}

void TScanThingsThread::Walk() {
    ThingsCursor& list = Own->Data().cdsThingsList;
    TableIsReady = list.Active() && list.RecordCount() > 0;
    if (TableIsReady) {
        const TDateTime now = Own->Now();
        for (list.First(); !list.Eof(); list.Next()) {
            const ThingRow& row = *list.Current();
            if (IsDue(row, now, *Own, NewEvent)) {
                // D keeps the occurrence that fell due, not the stored moment.
                const TDateTime occurrence = NewEvent.D;
                NewEvent = ThingFromRow(row);
                NewEvent.D = occurrence;
                Own->AlertQueue.push_back(NewEvent);
            }
        }
    }
    QMetaObject::invokeMethod(this, &TScanThingsThread::Refresh, Qt::QueuedConnection);
}

void TScanThingsThread::Refresh() {
    Own->Host().RefreshCalcFields();
    QMetaObject::invokeMethod(this, &TScanThingsThread::StartDelivery, Qt::QueuedConnection);
}

void TScanThingsThread::StartDelivery() {
    TPushThingsFromQueueThread::Create(Own);
    deleteLater();
}
