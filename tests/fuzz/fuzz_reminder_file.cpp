// Any bytes as the reminder file.
#include "tests/fuzz/FuzzFolder.h"
#include "tests/fuzz/ReminderFileRoundTrip.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string file = writeFuzzFile("things.mln", data, size);
    if (const std::string failure = reminderFileRoundTripFailure(file, fuzzFolder() + "/copy.mln");
        !failure.empty())
        fuzzFailure(failure);
    return 0;
}
