#pragma once
// Date-time text in the user's regional format: the short date format, a blank
// and the long time format, the time left out at exactly midnight. The year is
// always written with four digits and the time zone is never written, so that
// the text reads back to the same moment.

#include "core/Moment.h"

#include <QLocale>
#include <QString>

// The formats used for writing and reading under locale.
QString RegionalDateFormat(const QLocale& locale = QLocale());
QString RegionalTimeFormat(const QLocale& locale = QLocale());

// The moment as text, to the whole second (milliseconds are dropped).
QString RegionalDateTimeText(Moment moment, const QLocale& locale = QLocale());

// Reads text written by RegionalDateTimeText under the same locale, or an ISO
// 8601 date with an optional time ("2026-12-09 07:59:50"). The text must read
// back exactly as it would be written (leading zeros and all), so that text in
// another locale's format is refused rather than taken for a different day.
bool ParseRegionalDateTime(const QString& text, Moment* moment, const QLocale& locale = QLocale());
