#include "desktop/RegionalDateTime.h"

#include <QDate>
#include <QRegularExpression>
#include <QTime>

namespace {

// Rewrites every unquoted run of `letter` in a Qt date-time format with
// `replacement` (which may be empty). Quoted literals are copied unchanged.
QString replaceField(const QString& format, QChar letter, const QString& replacement) {
    QString out;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format.at(i);
        if (c == u'\'') {
            quoted = !quoted;
            out += c;
            ++i;
        } else if (!quoted && c == letter) {
            while (i < format.size() && format.at(i) == letter)
                ++i;
            out += replacement;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

QDate dateOf(const CalendarTime& c) {
    return QDate(c.year, c.month, c.day);
}

bool readLocal(const QString& text, const QLocale& locale, Moment* moment) {
    const QString df = RegionalDateFormat(locale);
    const QString tf = RegionalTimeFormat(locale);

    const QDate dateOnly = locale.toDate(text, df);
    if (dateOnly.isValid() && locale.toString(dateOnly, df) == text) {
        *moment = makeMoment(dateOnly.year(), dateOnly.month(), dateOnly.day());
        return true;
    }
    // The date part may itself hold blanks (for example "2026. 12. 09."), so
    // every blank is tried as the place where the time part begins.
    for (qsizetype at = text.indexOf(u' '); at >= 0; at = text.indexOf(u' ', at + 1)) {
        const QString datePart = text.left(at);
        const QString timePart = text.mid(at + 1);
        const QDate d = locale.toDate(datePart, df);
        if (!d.isValid() || locale.toString(d, df) != datePart)
            continue;
        const QTime t = locale.toTime(timePart, tf);
        if (!t.isValid() || locale.toString(t, tf) != timePart)
            continue;
        *moment = makeMoment(d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second());
        return true;
    }
    return false;
}

bool readIso(const QString& text, Moment* moment) {
    static const QRegularExpression iso(QStringLiteral(
        "^([0-9]{4})-([0-9]{2})-([0-9]{2})(?:[ T]([0-9]{2}):([0-9]{2})(?::([0-9]{2}))?)?$"));
    const QRegularExpressionMatch m = iso.match(text);
    if (!m.hasMatch())
        return false;
    const QDate d(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    const QTime t(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt());
    if (!d.isValid() || !t.isValid())
        return false;
    *moment = makeMoment(d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second());
    return true;
}

} // namespace

QString RegionalDateFormat(const QLocale& locale) {
    // A two-digit year would read back in the wrong century.
    return replaceField(locale.dateFormat(QLocale::ShortFormat), u'y', QStringLiteral("yyyy"));
}

QString RegionalTimeFormat(const QLocale& locale) {
    // The zone name is not part of a local moment, and Qt cannot read most of them.
    QString f = replaceField(locale.timeFormat(QLocale::LongFormat), u't', QString());
    f.replace(QStringLiteral("()"), QString());
    return f.simplified();
}

QString RegionalDateTimeText(Moment moment, const QLocale& locale) {
    const CalendarTime c = calendarTime(moment);
    const QDate d = dateOf(c);
    if (!d.isValid())
        return {};
    QString text = locale.toString(d, RegionalDateFormat(locale));
    if (c.hour != 0 || c.minute != 0 || c.second != 0)
        text +=
            u' ' + locale.toString(QTime(c.hour, c.minute, c.second), RegionalTimeFormat(locale));
    return text;
}

bool ParseRegionalDateTime(const QString& text, Moment* moment, const QLocale& locale) {
    const QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    return readLocal(t, locale, moment) || readIso(t, moment);
}
