#include "core/SideTables.h"

#include <algorithm>
#include <cassert>

const std::vector<SideTable>& sideTables() {
    static const std::vector<SideTable> tables{
        {PendingAlertsTable, {{"OCCURRENCE", SideType::Text, 64, true}}, true},
    };
    return tables;
}

std::size_t sideTableIndex(const std::string& name) {
    const std::vector<SideTable>& tables = sideTables();
    const auto at = std::ranges::find(tables, name, &SideTable::name);
    assert(at != tables.end());
    return static_cast<std::size_t>(at - tables.begin());
}
