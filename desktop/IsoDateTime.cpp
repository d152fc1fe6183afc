#include "desktop/IsoDateTime.h"

#include <QDate>
#include <QRegularExpression>
#include <QTime>

#include <cstdlib>

QString IsoDateTimeText(Moment local, UtcInstant utc) {
    using namespace std::chrono;
    const auto offset = round<minutes>(local.time_since_epoch() - utc.time_since_epoch());
    const CalendarTime c = calendarTime(floor<seconds>(local));
    const auto whole = std::abs(offset.count());
    return QStringLiteral("%1-%2-%3T%4:%5:%6%7%8:%9")
        .arg(c.year, 4, 10, QLatin1Char('0'))
        .arg(c.month, 2, 10, QLatin1Char('0'))
        .arg(c.day, 2, 10, QLatin1Char('0'))
        .arg(c.hour, 2, 10, QLatin1Char('0'))
        .arg(c.minute, 2, 10, QLatin1Char('0'))
        .arg(c.second, 2, 10, QLatin1Char('0'))
        .arg(offset.count() < 0 ? QLatin1Char('-') : QLatin1Char('+'))
        .arg(whole / 60, 2, 10, QLatin1Char('0'))
        .arg(whole % 60, 2, 10, QLatin1Char('0'));
}

std::optional<UtcInstant> ParseIsoDateTime(const QString& text) {
    static const QRegularExpression iso(
        QStringLiteral("^([0-9]{4})-([0-9]{2})-([0-9]{2})T([0-9]{2}):([0-9]{2}):([0-9]{2})"
                       "(?:[.,]([0-9]{1,9}))?(?:(Z)|([+-])([0-9]{2})(?::?([0-9]{2}))?)$"));
    const QRegularExpressionMatch m = iso.match(text.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    const QDate d(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    const QTime t(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt());
    const int offsetHours = m.captured(10).toInt();
    const int offsetMinutes = m.captured(11).toInt();
    if (!d.isValid() || !t.isValid() || offsetHours > 18 || offsetMinutes > 59)
        return std::nullopt;
    const int milliseconds = (m.captured(7) + QStringLiteral("00")).left(3).toInt();
    const Moment local =
        makeMoment(d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second(), milliseconds);
    std::chrono::minutes offset{offsetHours * 60 + offsetMinutes};
    if (m.captured(9) == QStringLiteral("-"))
        offset = -offset;
    return UtcInstant{local.time_since_epoch() - offset};
}
