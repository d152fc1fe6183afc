// The command line: a client of the running program on the session bus, with Qt Core only,
// so that it needs no display and never takes the instance lock or opens the reminder file.
#include "dbus/BusNames.h"
#include "dbus/ProgramBus.h"
#include "dbus/ReminderEntry.h"
#include "dbus/ReminderFields.h"
#include "platform/XdgStartupShortcut.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QThread>

#include <array>
#include <cstdio>
#include <set>
#include <string>
#include <string_view>
#include <variant>

namespace {

enum ExitCode : int {
    Done = 0,
    UsageError = 1,
    Unreachable = 2,
    NoSuchReminder = 3,
    FileUnreadable = 4,
    Refused = 5,
};

// Long enough for the bus to start the program on a loaded machine and for its first load.
constexpr int CallTimeout = 120'000;

const char* const Usage = R"(Usage:
  chimly                      start the program in the tray
  chimly add MESSAGE WHEN [ACTIONS]
      WHEN:    --at "YYYY-MM-DD HH:MM" | --in 25m|2h|1h30m
             | --at HH:MM --weekdays mon-fri|sat,sun | --at HH:MM --monthly DAY
             | --after-start MINUTES
      ACTIONS: [--sound FILE | --click] [--open PATH] [--flash] [--no-window]
               [--power off|reboot]
      prints the new reminder's number
  chimly list [--json]        number, next time, description, message (tab-separated)
  chimly remove NUMBER...
  chimly show | new | journal | sound-off | quit
  chimly autostart on|off|status
  chimly --help | --version

Exit codes: 0 done, 1 usage error, 2 the program cannot be reached or started,
3 no such reminder, 4 the reminder file is unreadable, 5 refused.
)";

const std::set<std::string_view> Commands{"add",     "list",      "remove", "show",     "new",
                                          "journal", "sound-off", "quit",   "autostart"};

// Qt's own options, which the program's QApplication takes: those with a value, then flags.
const std::set<std::string_view> QtValueOptions{
    "platform",        "platformpluginpath", "platformtheme", "plugin",
    "qwindowgeometry", "qwindowicon",        "qwindowtitle",  "session",
    "display",         "geometry",           "title",         "name",
    "style",           "stylesheet"};
const std::set<std::string_view> QtFlags{"reverse",     "nograb", "dograb",       "widgetcount",
                                         "testability", "sync",   "qmljsdebugger"};

// The first argument that is not one of Qt's options, or empty.
std::string firstOwnArgument(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg.size() < 2 || arg[0] != '-')
            return std::string(arg);
        std::string_view name = arg.substr(arg[1] == '-' ? 2 : 1);
        const bool inlineValue = name.find('=') != std::string_view::npos;
        name = name.substr(0, name.find('='));
        if (QtValueOptions.contains(name)) {
            if (!inlineValue)
                ++i;
            continue;
        }
        if (!QtFlags.contains(name))
            return std::string(arg);
    }
    return {};
}

void say(const QString& text) {
    std::fprintf(stderr, "chimly: %s\n", text.toLocal8Bit().constData());
}

void print(const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stdout);
}

int usageError(const QString& text) {
    say(text);
    say(QStringLiteral("see chimly --help"));
    return UsageError;
}

// What an answer of the program means for the exit code.
int exitCodeOf(const QDBusMessage& reply) {
    const QString name = reply.errorName();
    if (name.endsWith(QLatin1String(".Error.NotFound")))
        return NoSuchReminder;
    if (name.endsWith(QLatin1String(".Error.StoreUnavailable")))
        return FileUnreadable;
    if (name.endsWith(QLatin1String(".Error.InvalidArgument")) ||
        name.endsWith(QLatin1String(".Error.Busy")))
        return Refused;
    return Unreachable;
}

class Client final {
public:
    Client() : m_bus(QDBusConnection::sessionBus()) { registerReminderEntry(); }

    bool connected() const { return m_bus.isConnected(); }

    // Calls the running program, which the bus starts first when `start` is set. An answer
    // or an error; a program started by someone else at the same moment is waited for.
    QDBusMessage call(const char* interface, const QString& method, const QVariantList& args,
                      bool start = true) {
        QDBusMessage message = QDBusMessage::createMethodCall(QLatin1String(ProgramBusName),
                                                              QLatin1String(ProgramObjectPath),
                                                              QLatin1String(interface), method);
        message.setArguments(args);
        message.setAutoStartService(start);
        QDBusMessage reply = m_bus.call(message, QDBus::Block, CallTimeout);
        // The started copy found the program already starting (the lock is taken) and ended:
        // the one starting takes the name after its first load.
        if (start &&
            reply.errorName().startsWith(QLatin1String("org.freedesktop.DBus.Error.Spawn")) &&
            waitForProgram())
            reply = m_bus.call(message, QDBus::Block, CallTimeout);
        return reply;
    }

private:
    bool waitForProgram() {
        for (int waited = 0; waited < CallTimeout; waited += 100) {
            if (m_bus.interface()->isServiceRegistered(QLatin1String(ProgramBusName)))
                return true;
            QThread::msleep(100);
        }
        return false;
    }

    QDBusConnection m_bus;
};

// An error of the call said and turned into the exit code; Done for an answer.
int checked(const QDBusMessage& reply) {
    if (reply.type() != QDBusMessage::ErrorMessage)
        return Done;
    say(reply.errorMessage().isEmpty() ? reply.errorName() : reply.errorMessage());
    return exitCodeOf(reply);
}

// --- add --------------------------------------------------------------------

// "mon-fri", "sat,sun", "mon,wed-fri", also numbers 1 (Monday) to 7.
std::optional<QList<uint>> parseWeekdays(const QString& text) {
    static const std::array<QString, 7> names{
        QStringLiteral("mon"), QStringLiteral("tue"), QStringLiteral("wed"), QStringLiteral("thu"),
        QStringLiteral("fri"), QStringLiteral("sat"), QStringLiteral("sun")};
    const auto dayOf = [](const QString& word) -> int {
        const QString w = word.trimmed().toLower();
        for (std::size_t i = 0; i < names.size(); ++i)
            if (w == names[i])
                return int(i) + 1;
        bool ok = false;
        const int n = w.toInt(&ok);
        return ok && n >= 1 && n <= 7 ? n : 0;
    };
    std::array<bool, 7> marked{};
    for (const QString& part : text.split(QLatin1Char(','))) {
        const QStringList ends = part.split(QLatin1Char('-'));
        if (ends.size() > 2)
            return std::nullopt;
        const int from = dayOf(ends.front());
        const int to = dayOf(ends.back());
        if (from == 0 || to == 0)
            return std::nullopt;
        // A range may wrap round the week: sat-mon.
        for (int d = from;; d = d % 7 + 1) {
            marked[std::size_t(d - 1)] = true;
            if (d == to)
                break;
        }
    }
    QList<uint> days;
    for (std::size_t i = 0; i < marked.size(); ++i)
        if (marked[i])
            days << uint(i + 1);
    return days;
}

// "25m", "2h", "1h30m": the minutes, or nothing.
std::optional<qint64> parseDuration(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^(?:(\\d{1,5})h)?(?:(\\d{1,7})m)?$"));
    const QRegularExpressionMatch m = form.match(text);
    if (text.isEmpty() || !m.hasMatch())
        return std::nullopt;
    return m.captured(1).toLongLong() * 60 + m.captured(2).toLongLong();
}

QString absolutePath(const QString& path) {
    return QFileInfo(path).isAbsolute() ? path : QDir::current().absoluteFilePath(path);
}

// The reminder the options describe, or a usage error's text.
std::variant<QVariantMap, QString> reminderFrom(const QCommandLineParser& p,
                                                const QString& message) {
    QVariantMap r;
    r.insert(QStringLiteral("message"), message);
    const bool at = p.isSet(QStringLiteral("at"));
    const bool in = p.isSet(QStringLiteral("in"));
    const bool weekdays = p.isSet(QStringLiteral("weekdays"));
    const bool monthly = p.isSet(QStringLiteral("monthly"));
    const bool afterStart = p.isSet(QStringLiteral("after-start"));
    const QString when = p.value(QStringLiteral("at")).trimmed();
    static const QRegularExpression dateTime(
        QStringLiteral("^(\\d{4}-\\d{2}-\\d{2})[ T](\\d{2}:\\d{2})$"));
    static const QRegularExpression time(QStringLiteral("^\\d{2}:\\d{2}$"));
    if (int(at || weekdays || monthly) + int(in) + int(afterStart) != 1 || (weekdays && monthly) ||
        ((weekdays || monthly) && !at))
        return QStringLiteral("give one of --at, --in, --at with --weekdays or --monthly, "
                              "--after-start");
    if (in) {
        const std::optional<qint64> minutes = parseDuration(p.value(QStringLiteral("in")));
        if (!minutes)
            return QStringLiteral("--in takes minutes or hours: 25m, 2h, 1h30m");
        // From the moment the command runs, to the nearest minute.
        QDateTime due = QDateTime::currentDateTime().addSecs(*minutes * 60 + 30);
        r.insert(QStringLiteral("kind"), QStringLiteral("once"));
        r.insert(QStringLiteral("at"), due.toString(QStringLiteral("yyyy-MM-ddTHH:mm")));
    } else if (afterStart) {
        bool ok = false;
        const uint minutes = p.value(QStringLiteral("after-start")).toUInt(&ok);
        if (!ok)
            return QStringLiteral("--after-start takes a number of minutes");
        r.insert(QStringLiteral("kind"), QStringLiteral("after-start"));
        r.insert(QStringLiteral("minutes"), minutes);
    } else if (weekdays || monthly) {
        if (!time.match(when).hasMatch())
            return QStringLiteral("--at takes HH:MM with --weekdays and --monthly");
        r.insert(QStringLiteral("time"), when);
        if (weekdays) {
            const std::optional<QList<uint>> days =
                parseWeekdays(p.value(QStringLiteral("weekdays")));
            if (!days)
                return QStringLiteral("--weekdays takes days such as mon-fri or sat,sun");
            r.insert(QStringLiteral("kind"), QStringLiteral("weekly"));
            r.insert(QStringLiteral("weekdays"), QVariant::fromValue(*days));
        } else {
            bool ok = false;
            const uint day = p.value(QStringLiteral("monthly")).toUInt(&ok);
            if (!ok)
                return QStringLiteral("--monthly takes a day of the month, 1 to 31");
            r.insert(QStringLiteral("kind"), QStringLiteral("monthly"));
            r.insert(QStringLiteral("monthDay"), day);
        }
    } else {
        const QRegularExpressionMatch m = dateTime.match(when);
        if (!m.hasMatch())
            return QStringLiteral("--at takes \"YYYY-MM-DD HH:MM\"");
        r.insert(QStringLiteral("kind"), QStringLiteral("once"));
        r.insert(QStringLiteral("at"), m.captured(1) + QLatin1Char('T') + m.captured(2));
    }
    if (p.isSet(QStringLiteral("sound")) && p.isSet(QStringLiteral("click")))
        return QStringLiteral("give --sound or --click, not both");
    if (p.isSet(QStringLiteral("sound")))
        r.insert(QStringLiteral("sound"), absolutePath(p.value(QStringLiteral("sound"))));
    if (p.isSet(QStringLiteral("click")))
        r.insert(QStringLiteral("click"), true);
    if (p.isSet(QStringLiteral("open")))
        r.insert(QStringLiteral("open"), absolutePath(p.value(QStringLiteral("open"))));
    if (p.isSet(QStringLiteral("flash")))
        r.insert(QStringLiteral("flash"), true);
    if (p.isSet(QStringLiteral("no-window")))
        r.insert(QStringLiteral("showAlert"), false);
    if (p.isSet(QStringLiteral("power"))) {
        const QString power = p.value(QStringLiteral("power"));
        if (power != QLatin1String("off") && power != QLatin1String("reboot"))
            return QStringLiteral("--power takes off or reboot");
        r.insert(QStringLiteral("power"), power);
    }
    return r;
}

int add(Client& client, const QCommandLineParser& p, const QStringList& rest) {
    if (rest.size() != 1)
        return usageError(QStringLiteral("add takes one message"));
    auto reminder = reminderFrom(p, rest.front());
    if (const QString* error = std::get_if<QString>(&reminder))
        return usageError(*error);
    const QDBusMessage reply = client.call(RemindersInterfaceName, QStringLiteral("Add"),
                                           {QVariant::fromValue(std::get<QVariantMap>(reminder))});
    if (const int code = checked(reply); code != Done)
        return code;
    print(QString::number(reply.arguments().value(0).toUInt()) + QLatin1Char('\n'));
    return Done;
}

// --- list -------------------------------------------------------------------

QJsonValue jsonOf(const QVariant& value) {
    if (const std::optional<QList<qint64>> numbers = integersOf(value)) {
        QJsonArray array;
        for (qint64 n : *numbers)
            array.append(n);
        return array;
    }
    return QJsonValue::fromVariant(value);
}

// One line of text: tabs and line breaks would break the columns.
QString oneLine(QString text) {
    for (QChar& c : text)
        if (c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            c = QLatin1Char(' ');
    return text;
}

int list(Client& client, bool json) {
    const QDBusMessage reply = client.call(RemindersInterfaceName, QStringLiteral("List"), {});
    if (const int code = checked(reply); code != Done)
        return code;
    const auto entries = qdbus_cast<QList<ReminderEntry>>(reply.arguments().value(0));
    if (json) {
        QJsonArray array;
        for (const ReminderEntry& e : entries) {
            QJsonObject object{{QStringLiteral("number"), qint64(e.number)}};
            for (auto it = e.fields.cbegin(); it != e.fields.cend(); ++it)
                object.insert(it.key(), jsonOf(it.value()));
            array.append(object);
        }
        print(QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Indented)));
        return Done;
    }
    for (const ReminderEntry& e : entries) {
        const QVariant next = e.fields.value(QStringLiteral("next"));
        const QString nextText = next.isValid() ? QDateTime::fromMSecsSinceEpoch(next.toLongLong())
                                                      .toString(QStringLiteral("yyyy-MM-dd HH:mm"))
                                                : QString();
        print(QStringLiteral("%1\t%2\t%3\t%4\n")
                  .arg(e.number)
                  .arg(nextText, oneLine(e.fields.value(QStringLiteral("description")).toString()),
                       oneLine(e.fields.value(QStringLiteral("message")).toString())));
    }
    return Done;
}

// --- the others -------------------------------------------------------------

int remove(Client& client, const QStringList& numbers) {
    if (numbers.isEmpty())
        return usageError(QStringLiteral("remove takes one or more reminder numbers"));
    QList<uint> parsed;
    for (const QString& n : numbers) {
        bool ok = false;
        parsed << n.toUInt(&ok);
        if (!ok)
            return usageError(QStringLiteral("not a reminder number: %1").arg(n));
    }
    int result = Done;
    for (uint n : parsed) {
        const int code =
            checked(client.call(RemindersInterfaceName, QStringLiteral("Remove"), {n}));
        if (result == Done)
            result = code;
    }
    return result;
}

int action(Client& client, const QString& name, bool start) {
    const QDBusMessage reply = client.call(
        ApplicationInterfaceName, QStringLiteral("ActivateAction"),
        {name, QVariant::fromValue(QVariantList()), QVariant::fromValue(QVariantMap())}, start);
    // Nothing to stop or silence when the program is not running.
    if (!start &&
        (reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown") ||
         reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner")))
        return Done;
    return checked(reply);
}

int autostart(const QStringList& rest) {
    const QString what = rest.size() == 1 ? rest.front() : QString();
    XdgStartupShortcut shortcut;
    if (what == QLatin1String("status")) {
        print(shortcut.exists() ? QStringLiteral("on\n") : QStringLiteral("off\n"));
        return Done;
    }
    if (what == QLatin1String("on") || what == QLatin1String("off")) {
        const bool on = what == QLatin1String("on");
        if (on) {
            if (const Status placed = shortcut.place(); !placed) {
                say(QString::fromStdString(placed.message()));
                return Refused;
            }
        } else {
            shortcut.remove();
        }
        if (shortcut.exists() == on)
            return Done;
        say(QStringLiteral("unable to %1 %2")
                .arg(on ? QStringLiteral("write") : QStringLiteral("remove"),
                     QString::fromStdString(shortcut.path())));
        return Refused;
    }
    return usageError(QStringLiteral("autostart takes on, off or status"));
}

int runCommand(const QCommandLineParser& p, const QString& version) {
    if (p.isSet(QStringLiteral("help"))) {
        print(QString::fromLatin1(Usage));
        return Done;
    }
    if (p.isSet(QStringLiteral("version"))) {
        print(version + QLatin1Char('\n'));
        return Done;
    }
    QStringList rest = p.positionalArguments();
    const QString command = rest.isEmpty() ? QString() : rest.takeFirst();
    // Options of add and list are refused elsewhere.
    static const QStringList addOptions{
        QStringLiteral("at"),        QStringLiteral("in"),          QStringLiteral("weekdays"),
        QStringLiteral("monthly"),   QStringLiteral("after-start"), QStringLiteral("sound"),
        QStringLiteral("click"),     QStringLiteral("open"),        QStringLiteral("flash"),
        QStringLiteral("no-window"), QStringLiteral("power")};
    for (const QString& option : p.optionNames()) {
        const bool fits = command == QLatin1String("add")    ? addOptions.contains(option)
                          : command == QLatin1String("list") ? option == QLatin1String("json")
                                                             : false;
        if (!fits)
            return usageError(QStringLiteral("%1 takes no option --%2").arg(command, option));
    }
    if (command == QLatin1String("autostart"))
        return autostart(rest);
    if (command != QLatin1String("add") && command != QLatin1String("remove") && !rest.isEmpty())
        return usageError(QStringLiteral("%1 takes no arguments").arg(command));
    Client client;
    if (!client.connected()) {
        say(QStringLiteral("no session bus to reach the program through"));
        return Unreachable;
    }
    if (command == QLatin1String("add"))
        return add(client, p, rest);
    if (command == QLatin1String("list"))
        return list(client, p.isSet(QStringLiteral("json")));
    if (command == QLatin1String("remove"))
        return remove(client, rest);
    if (command == QLatin1String("show"))
        return checked(client.call(ApplicationInterfaceName, QStringLiteral("Activate"),
                                   {QVariant::fromValue(QVariantMap())}));
    if (command == QLatin1String("new"))
        return action(client, QStringLiteral("new-reminder"), true);
    if (command == QLatin1String("journal"))
        return action(client, QStringLiteral("journal"), true);
    if (command == QLatin1String("sound-off"))
        return action(client, QStringLiteral("sound-off"), false);
    return action(client, QStringLiteral("quit"), false);
}

} // namespace

std::optional<int> runCommandLine(int argc, char** argv, const QString& version) {
    const std::string first = firstOwnArgument(argc, argv);
    if (first.empty())
        return std::nullopt;
    QCoreApplication app(argc, argv);
    if (!Commands.contains(first) && first != "--help" && first != "-h" && first != "--version" &&
        first != "-v")
        return usageError(QStringLiteral("unknown command %1").arg(QString::fromLocal8Bit(first)));
    QCommandLineParser p;
    p.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const auto valued = [&p](const char* name, const char* valueName) {
        p.addOption(QCommandLineOption(QLatin1String(name), QString(), QLatin1String(valueName)));
    };
    const auto flag = [&p](QStringList names) { p.addOption(QCommandLineOption(names)); };
    valued("at", "when");
    valued("in", "duration");
    valued("weekdays", "days");
    valued("monthly", "day");
    valued("after-start", "minutes");
    valued("sound", "file");
    valued("open", "path");
    valued("power", "action");
    for (const char* name : {"click", "flash", "no-window", "json"})
        flag({QLatin1String(name)});
    flag({QStringLiteral("help"), QStringLiteral("h")});
    flag({QStringLiteral("version"), QStringLiteral("v")});
    if (!p.parse(QCoreApplication::arguments()))
        return usageError(p.errorText());
    return runCommand(p, version);
}
