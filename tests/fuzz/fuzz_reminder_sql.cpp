// Reminder files built from SQL, with the journal or log another program left beside them.
#include "tests/fuzz/FuzzFolder.h"
#include "tests/fuzz/ReminderSqlFiles.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = fuzzFolder() + "/things.mln";
    if (!reminder_sql::buildFiles(std::string(reinterpret_cast<const char*>(data), size), path))
        return 0;
    if (const std::string failure = reminder_sql::failure(path); !failure.empty())
        fuzzFailure(failure);
    return 0;
}
