#include "desktop/ProgramSettings.h"

#include "desktop/IniFile.h"
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
    p.state = WindowStateFromCode(ini.readInteger(section, QStringLiteral("State"), 2));
    return p;
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

IniFile loaded(const QString& path) {
    IniFile ini(path);
    ini.load();
    return ini;
}

SettingsWriteResult saved(const IniFile& ini) {
    SettingsWriteResult result;
    if (!ini.save(&result.reason)) {
        result.ok = false;
        result.errorText = QStringLiteral("Unable to write to %1").arg(ini.path());
    }
    return result;
}

} // namespace

WindowStateCode WindowStateFromCode(int code) {
    switch (code) {
    case 0:
        return WindowStateCode::Maximized;
    case 1:
        return WindowStateCode::Minimized;
    default:
        return WindowStateCode::Normal;
    }
}

ProgramSettings ReadSettings(const QString& path, Moment now, int currentWidth, int currentHeight) {
    const IniFile ini = loaded(path);
    ProgramSettings s;
    s.position = readPlacement(ini, Position, currentWidth, currentHeight);

    s.LastRunTime = now;
    Moment last{};
    if (ParseRegionalDateTime(ini.readString(Last, QStringLiteral("LastTime"), QString()), &last) &&
        last <= now)
        s.LastRunTime = last;

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
    s.ShowMissedAtStart = ini.readBool(Settings, QStringLiteral("Missed"), true);
    s.ShowDayInTray = ini.readBool(Settings, QStringLiteral("ShowDay"), false);
    s.languageFile = ini.readString(Settings, QStringLiteral("LangFile"), QString());
    return s;
}

SettingsWriteResult WriteSettings(const QString& path, const ProgramSettings& settings,
                                  Moment now) {
    IniFile ini = loaded(path);
    writePlacement(ini, Position, settings.position);
    ini.writeString(Last, QStringLiteral("LastTime"), RegionalDateTimeText(now));
    ini.writeInteger(Settings, QStringLiteral("LangPack"), static_cast<int>(settings.language));
    ini.writeString(Settings, QStringLiteral("LangFile"), settings.languageFile);
    ini.writeBool(Settings, QStringLiteral("Missed"), settings.ShowMissedAtStart);
    ini.writeBool(Settings, QStringLiteral("ShowDay"), settings.ShowDayInTray);
    return saved(ini);
}

WindowPlacement ReadJournalPlacement(const QString& path, int currentWidth, int currentHeight) {
    return readPlacement(loaded(path), Journal, currentWidth, currentHeight);
}

SettingsWriteResult WriteJournalPlacement(const QString& path, const WindowPlacement& placement) {
    IniFile ini = loaded(path);
    writePlacement(ini, Journal, placement);
    return saved(ini);
}
