#include "desktop/ProgramSettings.h"

#include "desktop/IniFile.h"
#include "desktop/IsoDateTime.h"
#include "desktop/PathText.h"
#include "desktop/RegionalDateTime.h"

namespace {

const QString Position = QStringLiteral("Position");
const QString Journal = QStringLiteral("Journal");
const QString Last = QStringLiteral("Last");
const QString Settings = QStringLiteral("Settings");

WindowPlacement readPlacement(const IniFile& ini, const QString& section, int width, int height) {
    WindowPlacement p;
    p.left = ini.readInteger(section, QStringLiteral("PosX"), 10);
    p.top = ini.readInteger(section, QStringLiteral("PosY"), 10);
    p.width = ini.readInteger(section, QStringLiteral("Width"), width);
    p.height = ini.readInteger(section, QStringLiteral("Height"), height);
    p.state = windowStateFromCode(ini.readInteger(section, QStringLiteral("State"), 2));
    return p;
}

bool hasPlacement(const IniFile& ini, const QString& section) {
    for (const char* key : {"State", "PosX", "PosY", "Width", "Height"})
        if (ini.hasKey(section, QString::fromLatin1(key)))
            return true;
    return false;
}

// "LastTime" as this version writes it, or in the regional form of older ones.
std::optional<Moment> readLastTime(const IniFile& ini, const Clock& clock) {
    const QString text = ini.readString(Last, QStringLiteral("LastTime"), QString());
    if (const std::optional<UtcInstant> instant = ParseIsoDateTime(text))
        return clock.localMoment(*instant);
    Moment regional{};
    if (ParseRegionalDateTime(text, &regional))
        return regional;
    return std::nullopt;
}

void writePlacement(IniFile& ini, const QString& section, const WindowPlacement& p) {
    ini.writeInteger(section, QStringLiteral("State"), static_cast<int>(p.state));
    if (p.state == WindowStateCode::Maximized)
        return;
    ini.writeInteger(section, QStringLiteral("PosX"), p.left);
    ini.writeInteger(section, QStringLiteral("PosY"), p.top);
    ini.writeInteger(section, QStringLiteral("Width"), p.width);
    ini.writeInteger(section, QStringLiteral("Height"), p.height);
}

IniFile loaded(const std::string& path) {
    IniFile ini(path);
    ini.load();
    return ini;
}

} // namespace

WindowStateCode windowStateFromCode(int code) {
    switch (code) {
    case 0:
        return WindowStateCode::Maximized;
    case 1:
        return WindowStateCode::Minimized;
    default:
        return WindowStateCode::Normal;
    }
}

ProgramSettings readSettings(const std::string& path, const Clock& clock, Moment now,
                             int currentWidth, int currentHeight) {
    const IniFile ini = loaded(path);
    ProgramSettings s;
    s.position = readPlacement(ini, Position, currentWidth, currentHeight);

    const std::optional<Moment> last = readLastTime(ini, clock);
    s.lastRunTime = last && *last <= now ? *last : now;

    switch (ini.readInteger(Settings, QStringLiteral("LangPack"), 0)) {
    case 0:
        s.language = LanguageChoice::English;
        break;
    case 1:
        s.language = LanguageChoice::Russian;
        break;
    default:
        s.language = LanguageChoice::Other;
        break;
    }
    s.showMissedAtStart = ini.readBool(Settings, QStringLiteral("Missed"), true);
    s.showDayInTray = ini.readBool(Settings, QStringLiteral("ShowDay"), false);
    s.languageFile = ini.readString(Settings, QStringLiteral("LangFile"), QString());
    if (hasPlacement(ini, Journal))
        s.journal = readPlacement(ini, Journal, 0, 0);
    return s;
}

Status writeSettings(const std::string& path, const ProgramSettings& settings,
                     const ClockReading& lastTime) {
    IniFile ini = loaded(path);
    writePlacement(ini, Position, settings.position);
    ini.writeString(Last, QStringLiteral("LastTime"),
                    IsoDateTimeText(lastTime.local, lastTime.utc));
    ini.writeInteger(Settings, QStringLiteral("LangPack"), static_cast<int>(settings.language));
    ini.writeString(Settings, QStringLiteral("LangFile"), settings.languageFile);
    ini.writeBool(Settings, QStringLiteral("Missed"), settings.showMissedAtStart);
    ini.writeBool(Settings, QStringLiteral("ShowDay"), settings.showDayInTray);
    if (settings.journal)
        writePlacement(ini, Journal, *settings.journal);
    return ini.save();
}
