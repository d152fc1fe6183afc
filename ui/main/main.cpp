// Chimly: forms the program's paths, loads the reminder table (creating an empty
// file when there is none) and lists the reminders in message order.
#include "uDataModule.h"

#include <cstdio>

int main() {
    DataFolderId = CSIDL_APPDATA;
    SettingsFilePath();
    const std::string thingsPath = ThingsFilePath();

    TDataModule1 data;
    if (!data.LoadThings(thingsPath))
        return 1;

    const TDateTime now = NowMoment();
    std::printf("%s: %zu reminder(s)\n", thingsPath.c_str(), data.table.Count());
    ThingsCursor& list = data.cdsThings;
    for (list.First(); !list.Eof(); list.Next()) {
        const ThingRow& row = *list.Current();
        std::printf("%d\t%s\t%s\t%s\n", row.Int(Col::N), row.Text(Col::Comment).c_str(),
                    DateMinuteText(RowNextTime(row, now)).c_str(), RowDescription(row).c_str());
    }
    return 0;
}
