#include "ui/main/MessageOrder.h"

#include <QCollatorSortKey>

#include <algorithm>

namespace {

QCollator listCollator(const QLocale& locale) {
    // Qt compares code points for the C locale; English collation is the root
    // collation without changes, which sorts every script sensibly.
    QCollator collator(locale.language() == QLocale::C ? QLocale(QLocale::English) : locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    return collator;
}

std::optional<std::int32_t> numberOf(const ReminderRow& row) {
    return row.hasNumber() ? std::optional(row.number()) : std::nullopt;
}

} // namespace

MessageOrder::MessageOrder(const ReminderTable& table, const QLocale& locale)
    : m_table(table), m_collator(listCollator(locale)) {
}

void MessageOrder::update() {
    if (m_built && m_version == m_table.version())
        return;
    std::optional<std::vector<RowId>> changed = m_table.changedSince(m_version);
    if (!m_built || !changed)
        rebuild();
    else
        follow(std::move(*changed));
    m_version = m_table.version();
    m_built = true;
}

QString MessageOrder::messageOf(RowId id) const {
    const ReminderRow* row = m_table.find(id);
    return row == nullptr ? QString() : QString::fromStdString(row->message());
}

void MessageOrder::rebuild() {
    // The entries are made before the keys: the keys, the most and the last memory taken,
    // go back at once when they are freed.
    m_entries.clear();
    m_entries.shrink_to_fit();
    m_entries.reserve(m_table.count());
    struct Keyed {
        QCollatorSortKey key;
        std::size_t stored;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(m_table.count());
    for (std::size_t i = 0; i < m_table.count(); ++i)
        keyed.push_back(
            {m_collator.sortKey(QString::fromStdString(m_table.rowAt(i).message())), i});
    // In stored order, which a stable sort keeps for equal messages.
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const Keyed& a, const Keyed& b) { return a.key.compare(b.key) < 0; });
    for (const Keyed& k : keyed)
        m_entries.push_back({m_table.idAt(k.stored), numberOf(m_table.rowAt(k.stored))});
}

void MessageOrder::follow(std::vector<RowId> changed) {
    std::sort(changed.begin(), changed.end());
    changed.erase(std::unique(changed.begin(), changed.end()), changed.end());
    // The rows that did not change keep their order among themselves.
    std::erase_if(m_entries, [&](const Entry& e) {
        return std::binary_search(changed.begin(), changed.end(), e.id);
    });
    struct Placed {
        QString message;
        Entry entry;
    };
    std::vector<Placed> placed;
    for (RowId id : changed)
        if (const ReminderRow* row = m_table.find(id))
            placed.push_back({QString::fromStdString(row->message()), {id, numberOf(*row)}});
    // Ids grow in stored order: they decide between equal messages.
    const auto before = [this](const QString& a, RowId aId, const QString& b, RowId bId) {
        const int c = compare(a, b);
        return c < 0 || (c == 0 && aId < bId);
    };
    std::sort(placed.begin(), placed.end(), [&](const Placed& a, const Placed& b) {
        return before(a.message, a.entry.id, b.message, b.entry.id);
    });
    // Each changed row goes where the rows before it end; in their own order their
    // places only grow, so one merge puts them all in.
    std::vector<Entry> merged;
    merged.reserve(m_entries.size() + placed.size());
    auto from = m_entries.begin();
    for (const Placed& p : placed) {
        const auto at = std::partition_point(from, m_entries.end(), [&](const Entry& e) {
            return before(messageOf(e.id), e.id, p.message, p.entry.id);
        });
        merged.insert(merged.end(), from, at);
        merged.push_back(p.entry);
        from = at;
    }
    merged.insert(merged.end(), from, m_entries.end());
    m_entries = std::move(merged);
}
