#pragma once
// The one owner of the reminders and the only writer of the reminder file: it loads the
// file on its worker (again each minute while that fails), takes every change the windows
// make, writes it at once (again each minute while that fails) and says what changed.
// The engine and the list read the same table through repository() and follow its change
// log.

#include "core/Clock.h"
#include "core/Reminder.h"
#include "core/ReminderRepository.h"
#include "core/Status.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QTimer;
class SerialWorker;

class Reminders final : public QObject {
    Q_OBJECT
public:
    // The clock must outlive this object; it stamps the creation of new reminders.
    Reminders(const Clock& clock, std::unique_ptr<ReminderStore> store, QObject* parent = nullptr);
    // Waits for the file's worker, dropping what it has not yet reported.
    ~Reminders() override;

    void setFilePath(const std::string& path) { m_path = path; }
    const std::string& filePath() const { return m_path; }

    // Reads the file on the worker, or makes it empty when there is none; loaded() or
    // loadFailed() follows. A file that could not be read (other than for its content) is
    // read again each minute ("loadRetryTimer"). Nothing happens once loaded or while a
    // load runs.
    void load();
    // Waits until the loads and saves given to the worker are done and reported (again while
    // a report gave it more: a file gone is made anew at once), at most the time one of them
    // may take; false when one took longer, which is reported.
    bool waitForFile();

    // Adds a new reminder with the next number and writes the file. The number, or why
    // the reminder was not added.
    Status add(const Reminder& reminder);
    // Replaces reminder `number` and writes the file.
    Status update(std::int32_t number, const Reminder& reminder);
    // Removes reminder `number` and writes the file; false when there is none.
    bool remove(std::int32_t number);
    std::optional<Reminder> reminder(std::int32_t number) const;
    // Every reminder in stored order.
    std::vector<Reminder> all() const;

    // The alert windows open or postponed, kept in the file so that one the program does not
    // live to see answered is found at the next start: reminder `number` shows `occurrence`
    // (ISO 8601 text with its offset), or no longer shows an alert. Written at once; the
    // list of reminders does not change.
    void setPendingAlert(std::int32_t number, const std::string& occurrence);
    void clearPendingAlert(std::int32_t number);
    // In reminder-number order: the occurrence each pending alert shows, as written.
    std::vector<std::pair<std::int32_t, std::string>> pendingAlerts() const;

    // Gives what changed since the last good save to the worker; false when the file is
    // not to be written (not loaded, or its content could not be read). A failed save is
    // tried again each minute ("saveRetryTimer") until one succeeds. Within flush() the file
    // is looked at even with nothing changed: one removed meanwhile, folder and all, is made
    // anew from the table.
    bool save();
    // Saves and waits for the worker: the end of the program or of the session. Every
    // failure of these saves is reported, told before or not.
    void flush();

    bool isLoaded() const { return m_repository.isLoaded(); }
    // False when the file's content could not be read: nothing may change then.
    bool fileWritable() const { return m_repository.fileWritable(); }
    bool hasUnsavedChanges() const { return m_repository.hasUnsavedChanges(); }
    // Why the last save failed, as the store put it; empty after a good one.
    const QString& lastSaveFailure() const { return m_lastSaveFailure; }
    const ReminderRepository& repository() const { return m_repository; }
    const Clock& clock() const { return m_clock; }

signals:
    // The file was taken in. `error` is empty, or says why the new file could not be made
    // (it is tried again like a failed save) or why the file's content cannot be used
    // (fileWritable() is false and the file is never written).
    void loaded(const QString& error);
    // The file could not be read now; said for the first failure of the run only.
    void loadFailed(const QString& error);
    // Reminders were added, changed or removed.
    void changed(const std::vector<std::int32_t>& numbers);
    // A save failed: said once until a save succeeds, and for every save of flush().
    void saveFailed(const QString& error);

private:
    void read(ReminderFileRead read);
    void written(const std::shared_ptr<PendingSave>& save, const Status& status);
    void saveFailedWith(const Status& status);
    // Writes the file and tells the change.
    void commit(std::int32_t number);

    const Clock& m_clock;
    ReminderRepository m_repository;
    // Loads and saves the file, in order; goes before the repository.
    std::unique_ptr<SerialWorker> m_worker;
    std::string m_path;
    QTimer* m_saveRetryTimer;
    QTimer* m_loadRetryTimer;
    bool m_loading = false;
    bool m_loadFailureTold = false;
    // A failed save was told; the retries stay silent until one succeeds.
    bool m_saveFailureTold = false;
    bool m_flushing = false;
    // A save is on the worker; further changes wait for its end.
    bool m_saving = false;
    QString m_lastSaveFailure;
};
