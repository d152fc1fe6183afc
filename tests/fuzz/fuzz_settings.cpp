// Any bytes as the settings file.
#include "tests/fuzz/FuzzFolder.h"
#include "tests/fuzz/SettingsRoundTrip.h"

#include <QLocale>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    QLocale::setDefault(QLocale(QStringLiteral("en_US")));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString path = QString::fromStdString(writeFuzzFile("Chimly.ini", data, size));
    if (const std::string failure = settingsRoundTripFailure(path); !failure.empty())
        fuzzFailure(failure);
    return 0;
}
