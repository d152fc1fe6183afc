#pragma once
// The reminders in message order: the messages compared as the user's language sorts
// them, without regard to case, equal messages in stored order. It follows the table
// through its change log: after a load every row is sorted by collation keys, made
// once per message; after a change only the changed rows are placed again. The
// program keeps one from the load on, so that the list does not sort when it opens.

#include "core/ReminderTable.h"

#include <QCollator>
#include <QLocale>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

class MessageOrder final {
public:
    struct Entry {
        RowId id;
        std::optional<std::int32_t> number; // the reminder number as the row was read
    };

    // Sorts by the collation of `locale`; the C locale sorts by the root collation.
    // The table must outlive the order.
    explicit MessageOrder(const ReminderTable& table, const QLocale& locale = QLocale());

    // Brings the order up to the table's version; nothing to do when it is.
    void update();
    // The rows in message order as of the last update.
    const std::vector<Entry>& entries() const { return m_entries; }
    // How two messages compare: negative, 0 or positive.
    int compare(const QString& a, const QString& b) const { return m_collator.compare(a, b); }

private:
    void rebuild();
    void follow(std::vector<RowId> changed);
    QString messageOf(RowId id) const;

    const ReminderTable& m_table;
    QCollator m_collator;
    std::vector<Entry> m_entries;
    std::uint64_t m_version = 0;
    bool m_built = false;
};
