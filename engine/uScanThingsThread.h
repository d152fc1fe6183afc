#pragma once
// One minute scan: walks the scan cursor in stored order, queues a copy of every
// reminder due in this minute, has the list's calculated columns refreshed and
// starts a delivery. Each of the three steps is posted to the GUI thread; the
// scan is dropped with its owner.

#include "ReminderEngine.h"

#include <QObject>

class TScanThingsThread final : public QObject {
    Q_OBJECT
public:
    static void Create(ReminderEngine* Own);

    // Whether a row falls due at `now`; fills NewEvent's occurrence fields as a side effect.
    static bool IsDue(const ThingRow& row, TDateTime now, const ReminderEngine& engine,
                      eventParams& NewEvent);

private:
    explicit TScanThingsThread(ReminderEngine* Own);
    void Walk();
    void Refresh();
    void StartDelivery();

    ReminderEngine* Own;
    bool TableIsReady = true;
    eventParams NewEvent{};
};
