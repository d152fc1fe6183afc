#include "app/Reminders.h"

#include "engine/SerialWorker.h"

#include <QTimer>

#include <algorithm>
#include <utility>
#include <variant>

Reminders::Reminders(const Clock& clock, std::unique_ptr<ReminderStore> store, QObject* parent)
    : QObject(parent), m_clock(clock), m_repository(std::move(store)),
      m_worker(std::make_unique<SerialWorker>()), m_saveRetryTimer(new QTimer(this)),
      m_loadRetryTimer(new QTimer(this)) {
    // A save that failed (a full disk, a folder made read-only) is tried again each minute,
    // so that the changes reach the file once the cause is gone.
    m_saveRetryTimer->setObjectName(QStringLiteral("saveRetryTimer"));
    m_saveRetryTimer->setInterval(60'000);
    connect(m_saveRetryTimer, &QTimer::timeout, this, [this] { save(); });
    // A file locked by another program, or on a drive not there yet, is read again.
    m_loadRetryTimer->setObjectName(QStringLiteral("loadRetryTimer"));
    m_loadRetryTimer->setSingleShot(true);
    m_loadRetryTimer->setInterval(60'000);
    connect(m_loadRetryTimer, &QTimer::timeout, this, &Reminders::load);
}

Reminders::~Reminders() {
    // Changes that waited for a save still running are written before the reminders go, as
    // they would have been had each been handed to the worker at once.
    if (m_saving)
        (void)waitForFile();
}

void Reminders::load() {
    m_loadRetryTimer->stop();
    if (m_loading || m_repository.isLoaded())
        return;
    m_loading = true;
    m_worker->run(
        this, [this, path = m_path] { return m_repository.readFile(path); },
        [this](ReminderFileRead read) { this->read(std::move(read)); });
}

void Reminders::read(ReminderFileRead read) {
    m_loading = false;
    const Status status = m_repository.takeRead(m_path, std::move(read));
    const QString error = QString::fromStdString(status.message());
    if (!m_repository.isLoaded()) {
        m_loadRetryTimer->start();
        if (!std::exchange(m_loadFailureTold, true))
            emit loadFailed(error);
        return;
    }
    if (!status && m_repository.fileWritable()) {
        // A new file that could not be made is tried again like a failed save.
        m_saveFailureTold = true;
        m_saveRetryTimer->start();
    }
    emit loaded(error);
}

bool Reminders::waitForFile() {
    do {
        if (!m_worker->finish(SqliteReminderStore::BusyTimeout + SqliteReminderStore::TimeLimit)) {
            emit saveFailed(
                QString::fromStdString("Unable to write " + m_path + ": it took too long"));
            return false;
        }
    } while (m_worker->busy());
    return true;
}

Status Reminders::add(const Reminder& reminder) {
    Reminder added = reminder;
    added.isNew = true;
    Status result = m_repository.saveReminder(added, m_clock.now().local);
    if (result)
        commit(*result.number);
    return result;
}

Status Reminders::update(std::int32_t number, const Reminder& reminder) {
    Reminder changed = reminder;
    changed.number = number;
    changed.isNew = false;
    Status result = m_repository.saveReminder(changed, m_clock.now().local);
    if (result)
        commit(number);
    return result;
}

bool Reminders::remove(std::int32_t number) {
    if (!m_repository.deleteReminder(number))
        return false;
    commit(number);
    return true;
}

void Reminders::commit(std::int32_t number) {
    // The change is in the table; a failed write is reported and tried again.
    save();
    emit changed({number});
}

void Reminders::setPendingAlert(std::int32_t number, const std::string& occurrence) {
    if (m_repository.setSideRows(sideTableIndex(PendingAlertsTable), number,
                                 {SideRow{number, {occurrence}}}))
        save();
}

void Reminders::clearPendingAlert(std::int32_t number) {
    const std::size_t table = sideTableIndex(PendingAlertsTable);
    if (!m_repository.sideRows(table, number).empty() &&
        m_repository.setSideRows(table, number, {}))
        save();
}

std::vector<std::pair<std::int32_t, std::string>> Reminders::pendingAlerts() const {
    std::vector<std::pair<std::int32_t, std::string>> pending;
    for (const SideRow& row : m_repository.sideRows(sideTableIndex(PendingAlertsTable)))
        if (const auto* text =
                row.values.empty() ? nullptr : std::get_if<std::string>(&row.values[0]))
            pending.emplace_back(row.number, *text);
    std::ranges::sort(pending);
    return pending;
}

std::optional<Reminder> Reminders::reminder(std::int32_t number) const {
    return m_repository.reminder(number);
}

std::vector<Reminder> Reminders::all() const {
    const ReminderTable& table = m_repository.table();
    std::vector<Reminder> reminders;
    reminders.reserve(table.count());
    for (std::size_t i = 0; i < table.count(); ++i)
        reminders.push_back(reminderFromRow(table.rowAt(i)));
    return reminders;
}

bool Reminders::save() {
    if (!m_repository.isLoaded() || !m_repository.fileWritable())
        return false;
    // Changes made while a save runs wait for it and are written together by the next one,
    // so that a burst of changes never queues a write for each (see written()).
    if (m_saving && !m_flushing)
        return true;
    PendingSave pending = m_repository.takeUnsaved();
    if (pending.empty() && !m_flushing)
        return true;
    m_saving = true;
    // The worker gets copies of the rows; a failed save leaves the file as it was and the
    // changes to be written by the next one.
    auto save = std::make_shared<PendingSave>(std::move(pending));
    m_worker->run(
        this, [this, path = m_path, save] { return m_repository.writeFile(path, *save); },
        [this, save](const Status& status) { written(save, status); });
    return true;
}

void Reminders::written(const std::shared_ptr<PendingSave>& save, const Status& status) {
    m_saving = m_worker->busy();
    m_lastSaveFailure = status ? QString() : QString::fromStdString(status.message());
    const Status saved = m_repository.takeWritten(m_path, std::move(*save), status);
    if (m_repository.fileToBeMadeAnew()) {
        this->save();
        return;
    }
    if (!saved) {
        saveFailedWith(saved);
        return;
    }
    // Changes of a save that failed before wait for the next try.
    if (!m_repository.hasUnsavedChanges())
        m_saveRetryTimer->stop();
    m_saveFailureTold = false;
    // What changed while this save ran.
    if (m_repository.hasUnsavedChanges())
        this->save();
}

void Reminders::saveFailedWith(const Status& status) {
    if (!m_saveRetryTimer->isActive())
        m_saveRetryTimer->start();
    // Marked before anyone is told: the retries while a window shows it stay silent.
    if (m_flushing || !std::exchange(m_saveFailureTold, true))
        emit saveFailed(QString::fromStdString(status.message()));
}

void Reminders::flush() {
    m_flushing = true;
    save();
    (void)waitForFile(); // a worker that took too long is reported
    m_flushing = false;
}
