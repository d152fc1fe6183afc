#include "ReminderEngine.h"

#include "uScanThingsThread.h"

ReminderEngine::ReminderEngine(TDataModule1& data, EngineHost& host,
                               std::function<TDateTime()> clock, TDateTime programStartTime,
                               QObject* parent)
    : QObject(parent), ProgramStartTime(programStartTime), DueWindow(59.0 / 86400.0), data_(data),
      host_(host), clock_(std::move(clock)) {
}

void ReminderEngine::Timer1Timer() {
    const TDateTime now = clock_();
    const auto minute = static_cast<std::uint16_t>(DecodeMoment(now).minute);
    if (minute == LastMunite)
        return;
    LastMunite = minute;
    const ThingsCursor& list = data_.cdsThingsList;
    if (!list.Active() || list.RecordCount() == 0)
        return;
    TScanThingsThread::Create(this);
    host_.MinuteTickDayStep(now);
}
