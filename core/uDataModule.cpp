#include "uDataModule.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <stdexcept>

std::int32_t LastThingNumber = 0;

std::int32_t NewThingNumber() {
    return ++LastThingNumber;
}

std::uint16_t BoolToWord(bool b) {
    return b ? 1 : 0;
}
bool WordToBool(std::uint16_t w) {
    return w == 1;
}

bool FieldHasValue(const ThingsCursor& DS, std::string_view fieldName) {
    const auto col = ColumnByName(fieldName);
    const ThingRow* row = DS.Active() ? DS.Current() : nullptr;
    return col && row && !row->IsNull(*col) && !row->AsText(*col).empty();
}

WeekDays RowDays(const ThingRow& row) {
    return {row.Flag(Col::Mon), row.Flag(Col::Tue), row.Flag(Col::Wed), row.Flag(Col::Thu),
            row.Flag(Col::Fri), row.Flag(Col::Sat), row.Flag(Col::Sun)};
}

TDateTime RowNextTime(const ThingRow& row, TDateTime now, bool Flag) {
    if (row.Flag(Col::AfterStart))
        return BaseDate();
    return NextEventTime(row.Word(Col::DateOrDay), row.Word(Col::EMonth), row.Real(Col::Data),
                         RowDays(row), Flag, now);
}

std::string RowDescription(const ThingRow& row) {
    return ScheduleDescription(row.Word(Col::DateOrDay), row.Word(Col::EMonth),
                               row.Word(Col::AfterStart), row.Real(Col::Data),
                               row.Int(Col::MinutesAfterStart), RowDays(row));
}

eventParams ThingFromRow(const ThingRow& row) {
    eventParams r;
    r.N = row.Int(Col::N);
    r.D = row.Real(Col::Data);
    r.Comment = row.Text(Col::Comment);
    r.SPath = row.Text(Col::SPath);
    r.DateOrDay = row.Word(Col::DateOrDay);
    r.SetDays(RowDays(row));
    r.everyMonthDay = row.Word(Col::EMonth);
    r.MessageShow = row.Flag(Col::MessShow);
    r.WithSound = row.Flag(Col::WSound);
    r.Anim = row.Flag(Col::Anim);
    r.Sound = row.Flag(Col::Sound);
    r.RunProg = row.Flag(Col::RunProg);
    r.PPath = row.Text(Col::PPath);
    r.AfterStart = row.Flag(Col::AfterStart);
    r.MinutesAfterStart = row.Int(Col::MinutesAfterStart);
    r.Special = row.Flag(Col::Special);
    r.Shutdown = row.Flag(Col::Shutdown);
    r.CreateDate = row.Real(Col::CrDate);
    return r;
}

std::string CheckThingFits(const eventParams& r) {
    // Paths are refused rather than cut: a cut path would name another file.
    const auto maxText = static_cast<std::size_t>(Column(Col::Comment).maxSize);
    const auto maxPath = static_cast<std::size_t>(Column(Col::SPath).maxSize);
    if (Utf8Length(r.Comment) > maxText)
        return "The message is longer than " + std::to_string(maxText) + " characters.";
    if (Utf8Length(r.SPath) > maxPath)
        return "The path of the sound file is longer than " + std::to_string(maxPath) +
               " characters: " + r.SPath;
    if (Utf8Length(r.PPath) > maxPath)
        return "The path of the file to open is longer than " + std::to_string(maxPath) +
               " characters: " + r.PPath;
    return {};
}

void JournalTable::Insert(JournalRow row) {
    const auto at = std::upper_bound(rows_.begin(), rows_.end(), row.N,
                                     [](std::int32_t n, const JournalRow& r) { return n < r.N; });
    rows_.insert(at, std::move(row));
}

TDataModule1::TDataModule1(std::unique_ptr<ThingsStore> store) : store_(std::move(store)) {
}

bool TDataModule1::LoadThings(const std::string& path) {
    table.Assign({});
    fileUnreadable_ = false;
    loadError_.clear();
    std::error_code ec;
    const bool exists = std::filesystem::exists(path, ec);
    bool ok = true;
    if (exists || ec) {
        std::vector<ThingRow> rows;
        const StoreResult r = store_->Load(path, rows);
        if (r.ok) {
            table.Assign(std::move(rows));
        } else {
            // Never overwrite a file we could not read: it may hold the user's reminders.
            fileUnreadable_ = true;
            loadError_ = r.error;
            ok = false;
            ShowCoreMessage("Unable to read the reminder file " + path + ": " + r.error);
        }
    } else {
        ok = SaveThings(path);
    }
    cdsThings.Open();
    cdsThingsList.Open();
    cdsThingsListDM.Open();
    LastThingNumber = GetMaxNumberOfThings();
    return ok;
}

bool TDataModule1::SaveThings(const std::string& path) {
    if (fileUnreadable_)
        return false;
    const StoreResult r = store_->Save(path, table.Rows());
    if (!r.ok)
        ShowCoreMessage("Unable to write " + path + ": " + r.error);
    return r.ok;
}

void TDataModule1::WriteThingRow(ThingRow& row, const eventParams& r, std::int32_t number,
                                 TDateTime now) {
    row.SetInt(Col::N, number);
    row.SetInt(Col::AfterStart, BoolToWord(r.AfterStart));
    row.SetInt(Col::EMonth, r.everyMonthDay);
    row.SetInt(Col::DateOrDay, r.DateOrDay);
    const WeekDays days = r.Days();
    const Col dayCols[7] = {Col::Mon, Col::Tue, Col::Wed, Col::Thu, Col::Fri, Col::Sat, Col::Sun};
    for (int i = 0; i < 7; ++i)
        row.SetInt(dayCols[i], BoolToWord(days[i]));
    row.SetInt(Col::MessShow, BoolToWord(r.MessageShow));
    row.SetInt(Col::Anim, BoolToWord(r.Anim));
    row.SetInt(Col::Sound, BoolToWord(r.Sound));
    row.SetInt(Col::RunProg, BoolToWord(r.RunProg));
    if (r.isNewThing) {
        row.SetText(Col::Comment, r.Comment.empty() ? "note " + std::to_string(number) : r.Comment);
        row.SetReal(Col::CrDate, now);
    } else {
        row.SetText(Col::Comment, r.Comment);
    }
    row.SetText(Col::SPath, r.SPath);
    row.SetInt(Col::WSound, BoolToWord(r.WithSound));
    row.SetText(Col::PPath, r.PPath);
    row.SetInt(Col::MinutesAfterStart, r.MinutesAfterStart);
    row.SetReal(Col::Data, r.D);
    row.SetInt(Col::Special, BoolToWord(r.Special));
    row.SetInt(Col::Shutdown, BoolToWord(r.Shutdown));
}

TSaveResult TDataModule1::SaveThing(const eventParams& newThing, TDateTime now) {
    TSaveResult result;
    if (newThing.isNewThing) {
        const std::int32_t number = NewThingNumber(); // used up even if the insert fails
        try {
            if (const std::string why = CheckThingFits(newThing); !why.empty())
                throw std::runtime_error(why);
            ThingRow row;
            WriteThingRow(row, newThing, number, now);
            const RowId id = table.Insert(std::move(row));
            cdsThings.LocateId(id);
            result.NumThing = number;
        } catch (const std::exception& e) {
            ShowCoreMessage(std::string("SaveThing error : ") + e.what());
            return result;
        }
    } else {
        try {
            if (!cdsThings.LocateN(newThing.N)) {
                // Deleted meanwhile: report it, so that the editor keeps the user's input.
                ShowCoreMessage("The reminder " + std::to_string(newThing.N) +
                                " no longer exists; it was not saved.");
                return result;
            }
            if (const std::string why = CheckThingFits(newThing); !why.empty())
                throw std::runtime_error(why);
            ThingRow row = *cdsThings.Current();
            WriteThingRow(row, newThing, newThing.N, now);
            table.Update(cdsThings.CurrentId(), std::move(row));
            result.NumThing = newThing.N;
        } catch (const std::exception& e) {
            ShowCoreMessage(e.what());
            return result;
        }
    }
    result.isSaved = true;
    return result;
}

bool TDataModule1::DeleteThing(std::int32_t N) {
    const ThingRow* cur = cdsThings.Current();
    if (cur == nullptr || cur->Int(Col::N) != N) {
        if (!cdsThings.LocateN(N))
            return false;
    }
    return table.Remove(cdsThings.CurrentId());
}

std::int32_t TDataModule1::GetMaxNumberOfThings() {
    if (!cdsThingsListDM.Active())
        return 0;
    std::int32_t maxN = 0;
    for (cdsThingsListDM.First(); !cdsThingsListDM.Eof(); cdsThingsListDM.Next())
        maxN = std::max(maxN, cdsThingsListDM.Current()->Int(Col::N));
    return maxN;
}

std::optional<eventParams> TDataModule1::DoEditThing(const ThingsCursor& DS,
                                                     std::int32_t NumThing) const {
    (void)NumThing; // the row itself is the authority
    const ThingRow* row = DS.Current();
    if (row == nullptr)
        return std::nullopt;
    return ThingFromRow(*row);
}

bool TDataModule1::CreateJournalTable(JournalTable& Tb) {
    try {
        if (Tb.Created())
            Tb.Empty();
        else
            Tb.Create();
        if (!Tb.Active())
            Tb.Open();
        return true;
    } catch (const std::exception& e) {
        ShowCoreMessage(Tb.Name() + " : " + e.what());
        try {
            Tb.Empty();
            Tb.Close();
        } catch (const std::exception& e2) {
            ShowCoreMessage(std::string(e2.what()) + " (" + Tb.Name() + ").");
        }
        return false;
    }
}

std::int32_t TDataModule1::FillJournalTable(JournalTable& Tb, TDateTime LastRunTime,
                                            TDateTime ProgramStartTime, TDateTime now) {
    if (!Tb.Active())
        Tb.Open();
    Tb.Empty();
    // Compare at millisecond precision so that equal moments from different sources match.
    const std::int64_t from = MomentToMs(LastRunTime);
    const std::int64_t to = MomentToMs(ProgramStartTime);
    for (cdsThingsListDM.First(); !cdsThingsListDM.Eof(); cdsThingsListDM.Next()) {
        const ThingRow& row = *cdsThingsListDM.Current();
        if (row.Flag(Col::AfterStart))
            continue;
        const TDateTime p = PrevEventTime(row.Word(Col::DateOrDay), row.Word(Col::EMonth),
                                          row.Real(Col::Data), RowDays(row), false, now);
        const std::int64_t pm = MomentToMs(p);
        if (pm > from && pm <= to)
            Tb.Insert({row.Int(Col::N), p, row.Text(Col::Comment)});
    }
    return static_cast<std::int32_t>(Tb.Rows().size());
}

std::int32_t TDataModule1::OpenJournal(TDateTime LastRunTime, TDateTime ProgramStartTime,
                                       TDateTime now) {
    if (!CreateJournalTable(cdsJournal))
        return 0;
    return FillJournalTable(cdsJournal, LastRunTime, ProgramStartTime, now);
}
