#pragma once
// A moment as ISO 8601 text with its offset from UTC ("2026-12-09T08:00:02+01:00"): the same
// text in every locale, and it names one instant even after the time zone has changed.

#include "core/Moment.h"

#include <QString>

#include <optional>

// The local moment to the whole second (milliseconds are dropped) with the offset that
// separates it from utc, the same moment in UTC.
QString IsoDateTimeText(Moment local, UtcInstant utc);

// The instant of a date and time with seconds and an offset ("+01:00", "-0330", "+02" or
// "Z"); fractions of a second are allowed. Text without an offset names no instant.
std::optional<UtcInstant> ParseIsoDateTime(const QString& text);
