#include "core/SideTables.h"

const std::vector<SideTable>& sideTables() {
    static const std::vector<SideTable> tables;
    return tables;
}
