#pragma once
// The engine's state shared by the minute scan and the delivery: the alert queue,
// the delivery flag, the reminder being presented, and the tick rule that starts
// a scan on the first tick of every new minute. Everything here lives on the GUI
// thread; the scan and the delivery run as steps posted to its event queue.

#include "uDataModule.h"

#include <QObject>

#include <cstdint>
#include <deque>
#include <functional>

// What the engine needs from the main window.
class EngineHost {
public:
    virtual ~EngineHost() = default;
    // Makes the list recompute its calculated columns after a walk.
    virtual void RefreshCalcFields() = 0;
    // Presents the engine's CurrentEvent.
    virtual void ShowCurrentNote() = 0;
    // The day-of-month step of the minute tick (the tray's day icon).
    virtual void MinuteTickDayStep(TDateTime now) { (void)now; }
};

class ReminderEngine final : public QObject {
    Q_OBJECT
public:
    // The scan walks data.cdsThingsList; clock gives the current local moment.
    ReminderEngine(TDataModule1& data, EngineHost& host, std::function<TDateTime()> clock,
                   TDateTime programStartTime, QObject* parent = nullptr);

    // Timer1's handler: a new minute number starts a scan (when the table has rows).
    void Timer1Timer();

    void SetNotesThreadOn() { NotesThreadActive = true; }
    void SetNotesThreadOff() { NotesThreadActive = false; }

    TDataModule1& Data() { return data_; }
    EngineHost& Host() { return host_; }
    TDateTime Now() const { return clock_(); }

    // Records found due, oldest first; unbounded.
    std::deque<eventParams> AlertQueue;
    // True while a delivery is draining the queue.
    bool NotesThreadActive = false;
    // The reminder being presented.
    eventParams CurrentEvent;
    // Minute number (0..59) of the last tick that started a walk; 62 matches none.
    std::uint16_t LastMunite = 62;
    const TDateTime ProgramStartTime;
    // 59 seconds, as a fraction of a day.
    const TDateTime DueWindow;

private:
    TDataModule1& data_;
    EngineHost& host_;
    std::function<TDateTime()> clock_;
};
