#include "dbus/ReminderFields.h"

#include "core/Occurrence.h"
#include "core/ReminderRepository.h"
#include "core/ReminderRules.h"
#include "core/ScheduleText.h"

#include <QDBusArgument>
#include <QDate>
#include <QList>
#include <QRegularExpression>

#include <limits>
#include <optional>

namespace {

constexpr int MaxStartDelay = 1439; // the editor's limit: a day less a minute

Status refused(const QString& key, const QString& rule) {
    return Status::failure((key + QStringLiteral(": ") + rule).toStdString());
}

bool isString(const QVariant& v) {
    return v.metaType().id() == QMetaType::QString;
}

std::optional<qint64> integerOf(const QVariant& v) {
    switch (v.metaType().id()) {
    case QMetaType::UChar:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
        return v.toLongLong();
    case QMetaType::ULongLong: {
        const qulonglong u = v.toULongLong();
        if (u > qulonglong(std::numeric_limits<qint64>::max()))
            return std::numeric_limits<qint64>::max();
        return qint64(u);
    }
    default:
        return std::nullopt;
    }
}

} // namespace

std::optional<QList<qint64>> integersOf(const QVariant& v) {
    QList<qint64> out;
    if (v.metaType() == QMetaType::fromType<QDBusArgument>()) {
        const auto arg = v.value<QDBusArgument>();
        const QString signature = arg.currentSignature();
        if (signature == QLatin1String("au")) {
            QList<uint> list;
            arg >> list;
            for (uint u : list)
                out << u;
            return out;
        }
        if (signature == QLatin1String("ai")) {
            QList<int> list;
            arg >> list;
            for (int i : list)
                out << i;
            return out;
        }
        return std::nullopt;
    }
    if (v.metaType() == QMetaType::fromType<QList<uint>>()) {
        for (uint u : v.value<QList<uint>>())
            out << u;
        return out;
    }
    return std::nullopt;
}

namespace {

// "YYYY-MM-DDTHH:MM" (":00" seconds allowed) or "HH:MM"; a year the editor takes.
std::optional<CalendarTime> parseMoment(const QString& text, bool withDate) {
    static const QRegularExpression dated(
        QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2})T(\\d{2}):(\\d{2})(:00)?$"));
    static const QRegularExpression timeOnly(QStringLiteral("^(\\d{2}):(\\d{2})$"));
    const QRegularExpressionMatch m = (withDate ? dated : timeOnly).match(text);
    if (!m.hasMatch())
        return std::nullopt;
    CalendarTime c;
    int at = 1;
    if (withDate) {
        c.year = m.captured(at++).toInt();
        c.month = m.captured(at++).toInt();
        c.day = m.captured(at++).toInt();
        if (c.year < 100 || !QDate(c.year, c.month, c.day).isValid())
            return std::nullopt;
    }
    c.hour = m.captured(at++).toInt();
    c.minute = m.captured(at).toInt();
    if (c.hour > 23 || c.minute > 59)
        return std::nullopt;
    return c;
}

QString twoDigits(int n) {
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

QString timeText(const CalendarTime& c) {
    return twoDigits(c.hour) + QLatin1Char(':') + twoDigits(c.minute);
}

QString dateTimeText(const CalendarTime& c) {
    return QStringLiteral("%1-%2-%3T")
               .arg(c.year, 4, 10, QLatin1Char('0'))
               .arg(twoDigits(c.month), twoDigits(c.day)) +
           timeText(c);
}

qint64 msSinceEpoch(UtcInstant t) {
    return t.time_since_epoch().count();
}

// A text or a path, refused rather than cut when longer than its column holds.
Status takeText(const QString& key, const QVariant& value, Col col, std::string& into) {
    if (!isString(value))
        return refused(key, QStringLiteral("must be a string"));
    std::string text = value.toString().toStdString();
    const auto limit = static_cast<std::size_t>(column(col).maxSize);
    if (utf8Length(text) > limit)
        return refused(key, QStringLiteral("must be at most %1 characters").arg(limit));
    into = std::move(text);
    return {};
}

Status takeFlag(const QString& key, const QVariant& value, bool& into) {
    if (value.metaType().id() != QMetaType::Bool)
        return refused(key, QStringLiteral("must be a boolean"));
    into = value.toBool();
    return {};
}

Status takeInteger(const QString& key, const QVariant& value, qint64 low, qint64 high,
                   qint64& into) {
    const std::optional<qint64> n = integerOf(value);
    if (!n)
        return refused(key, QStringLiteral("must be an integer"));
    if (*n < low || *n > high)
        return refused(key, QStringLiteral("must be from %1 to %2").arg(low).arg(high));
    into = *n;
    return {};
}

} // namespace

Status applyFields(const QVariantMap& fields, Reminder& r) {
    // Applied to a copy: a refused dictionary changes nothing.
    Reminder out = r;
    // The date and the time of day are set after the kind, whatever the order of the keys.
    std::optional<CalendarTime> date;
    std::optional<CalendarTime> time;
    for (auto it = fields.cbegin(); it != fields.cend(); ++it) {
        const QString& key = it.key();
        const QVariant& value = it.value();
        Status status;
        if (key == QLatin1String("message")) {
            status = takeText(key, value, Col::Comment, out.message);
        } else if (key == QLatin1String("kind")) {
            const QString kind = isString(value) ? value.toString() : QString();
            if (kind == QLatin1String("after-start")) {
                out.afterStart = true;
            } else if (kind == QLatin1String("once") || kind == QLatin1String("weekly") ||
                       kind == QLatin1String("monthly")) {
                out.afterStart = false;
                out.kind = kind == QLatin1String("once")     ? ScheduleKind::Once
                           : kind == QLatin1String("weekly") ? ScheduleKind::Weekly
                                                             : ScheduleKind::Monthly;
            } else {
                status =
                    refused(key, QStringLiteral("must be once, weekly, monthly or after-start"));
            }
        } else if (key == QLatin1String("at") || key == QLatin1String("time")) {
            const bool withDate = key == QLatin1String("at");
            const std::optional<CalendarTime> c =
                isString(value) ? parseMoment(value.toString(), withDate) : std::nullopt;
            if (!c)
                status = refused(key, withDate ? QStringLiteral("must be a local date and time "
                                                                "YYYY-MM-DDTHH:MM")
                                               : QStringLiteral("must be a time of day HH:MM"));
            else
                (withDate ? date : time) = c;
        } else if (key == QLatin1String("weekdays")) {
            const std::optional<QList<qint64>> days = integersOf(value);
            if (!days) {
                status = refused(key, QStringLiteral("must be an array of integers"));
            } else {
                out.days = {};
                for (qint64 day : *days) {
                    if (day < 1 || day > 7) {
                        status = refused(key, QStringLiteral("days are 1 (Monday) to 7 (Sunday)"));
                        break;
                    }
                    out.days[std::size_t(day - 1)] = true;
                }
            }
        } else if (key == QLatin1String("monthDay")) {
            qint64 day = 0;
            status = takeInteger(key, value, 1, 31, day);
            if (status)
                out.monthDay = static_cast<std::uint16_t>(day);
        } else if (key == QLatin1String("minutes")) {
            qint64 minutes = 0;
            status = takeInteger(key, value, 0, MaxStartDelay, minutes);
            if (status)
                out.minutesAfterStart = static_cast<std::int32_t>(minutes);
        } else if (key == QLatin1String("showAlert")) {
            status = takeFlag(key, value, out.showAlert);
        } else if (key == QLatin1String("click")) {
            status = takeFlag(key, value, out.click);
        } else if (key == QLatin1String("flash")) {
            status = takeFlag(key, value, out.flashTray);
        } else if (key == QLatin1String("sound") || key == QLatin1String("open")) {
            // An empty path takes the action away.
            const bool sound = key == QLatin1String("sound");
            std::string& path = sound ? out.soundPath : out.openPath;
            status = takeText(key, value, sound ? Col::SPath : Col::PPath, path);
            if (status)
                (sound ? out.playSound : out.openFile) = !path.empty();
        } else if (key == QLatin1String("power")) {
            const QString power = isString(value) ? value.toString() : QStringLiteral("?");
            if (power.isEmpty()) {
                out.power = false;
            } else if (power == QLatin1String("off") || power == QLatin1String("reboot")) {
                out.power = true;
                out.powerAction =
                    power == QLatin1String("off") ? PowerAction::PowerOff : PowerAction::Reboot;
            } else {
                status = refused(key, QStringLiteral("must be off, reboot or empty"));
            }
        } else if (key != QLatin1String("next") && key != QLatin1String("description") &&
                   key != QLatin1String("created")) {
            status = refused(key, QStringLiteral("is not a key of a reminder"));
        }
        if (!status)
            return status;
    }
    if (date || time) {
        CalendarTime c = calendarTime(out.moment);
        if (date)
            c = *date;
        if (time) {
            c.hour = time->hour;
            c.minute = time->minute;
        }
        c.second = 0;
        c.millisecond = 0;
        out.moment = makeMoment(c);
    }
    r = std::move(out);
    return {};
}

QString missingField(const Reminder& reminder) {
    switch (missingEntry(reminder)) {
    case MissingEntry::None:
        return {};
    case MissingEntry::Weekday:
        return QStringLiteral("weekdays: a weekly reminder needs at least one day");
    case MissingEntry::Action:
        return QStringLiteral("showAlert: a reminder needs something to do: showAlert, sound, "
                              "open, flash or power");
    case MissingEntry::SoundFile:
        return QStringLiteral("sound: the sound to play needs its file");
    case MissingEntry::FileToOpen:
        return QStringLiteral("open: the file to open needs its path");
    }
    return {};
}

QVariantMap fieldsOf(const ReminderRow& row, const ClockReading& now, const TimeZoneSpan& zone,
                     const Texts& texts) {
    const Reminder r = reminderFromRow(row);
    QVariantMap f;
    f.insert(QStringLiteral("message"), QString::fromStdString(r.message));
    const CalendarTime c = calendarTime(r.moment);
    if (r.afterStart) {
        f.insert(QStringLiteral("kind"), QStringLiteral("after-start"));
        f.insert(QStringLiteral("minutes"), uint(std::max(0, r.minutesAfterStart)));
    } else if (r.kind == ScheduleKind::Once) {
        f.insert(QStringLiteral("kind"), QStringLiteral("once"));
        f.insert(QStringLiteral("at"), dateTimeText(c));
    } else if (r.kind == ScheduleKind::Weekly) {
        f.insert(QStringLiteral("kind"), QStringLiteral("weekly"));
        f.insert(QStringLiteral("time"), timeText(c));
        QList<uint> days;
        for (std::size_t i = 0; i < r.days.size(); ++i)
            if (r.days[i])
                days << uint(i + 1);
        f.insert(QStringLiteral("weekdays"), QVariant::fromValue(days));
    } else {
        // Kinds written by other programs repeat monthly.
        f.insert(QStringLiteral("kind"), QStringLiteral("monthly"));
        f.insert(QStringLiteral("time"), timeText(c));
        f.insert(QStringLiteral("monthDay"), uint(r.monthDay));
    }
    f.insert(QStringLiteral("showAlert"), r.showAlert);
    f.insert(QStringLiteral("click"), r.click);
    f.insert(QStringLiteral("flash"), r.flashTray);
    if (r.playSound)
        f.insert(QStringLiteral("sound"), QString::fromStdString(r.soundPath));
    if (r.openFile)
        f.insert(QStringLiteral("open"), QString::fromStdString(r.openPath));
    if (r.power)
        f.insert(QStringLiteral("power"), r.powerAction == PowerAction::PowerOff
                                              ? QStringLiteral("off")
                                              : QStringLiteral("reboot"));
    if (!r.afterStart) {
        // A once-only reminder whose minute has passed occurs no more.
        const UtcInstant next = zone.toUtc(rowNextTime(row, now.utc, zone));
        if (r.kind != ScheduleKind::Once ||
            next >= std::chrono::floor<std::chrono::minutes>(now.utc))
            f.insert(QStringLiteral("next"), msSinceEpoch(next));
    }
    f.insert(QStringLiteral("description"), QString::fromStdString(rowDescription(row, texts)));
    f.insert(QStringLiteral("created"), msSinceEpoch(zone.toUtc(r.created)));
    return f;
}
