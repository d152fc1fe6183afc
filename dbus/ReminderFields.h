#pragma once
// A reminder as the session bus carries it: a dictionary of named values (a{sv}), read as
// strictly as the reminder file is read, and written with what the list shows of it.

#include "core/Clock.h"
#include "core/Reminder.h"
#include "core/ReminderTable.h"
#include "core/Status.h"
#include "core/TimeZoneSpan.h"
#include "i18n/Texts.h"

#include <QList>
#include <QVariantMap>

#include <optional>

// An array of integers as it comes over the bus (au or ai); nothing for another value.
std::optional<QList<qint64>> integersOf(const QVariant& value);

// Sets what `fields` name on `reminder`; a key left out keeps its value. The error names
// the key and the rule it breaks (an unknown key, a wrong type, a value out of range, a text
// or path too long). The keys the list adds (next, description, created) are ignored, so that
// what Get gave may be handed back.
Status applyFields(const QVariantMap& fields, Reminder& reminder);

// Why the reminder cannot be saved as it is, naming the key: a weekly one without a day,
// nothing to do, a sound or file to open without its file. Empty when it can.
QString missingField(const Reminder& reminder);

// The keys of a stored reminder, with its next occurrence after `now` (left out when there is
// none), its schedule as the list describes it in `texts`, and its creation.
QVariantMap fieldsOf(const ReminderRow& row, const ClockReading& now, const TimeZoneSpan& zone,
                     const Texts& texts);
