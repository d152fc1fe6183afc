// Any bytes as a language file.
#include "tests/fuzz/FuzzFolder.h"
#include "tests/fuzz/LanguageFileRoundTrip.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = writeFuzzFile("Chimly_xx.lng", data, size);
    if (const std::string failure = languageFileRoundTripFailure(path); !failure.empty())
        fuzzFailure(failure);
    return 0;
}
