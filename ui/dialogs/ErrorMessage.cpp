#include "ui/dialogs/ErrorMessage.h"

#include <QMessageBox>

namespace {
std::function<void(const QString&)>& recorder() {
    static std::function<void(const QString&)> r;
    return r;
}
} // namespace

void showErrorMessage(const QString& text) {
    if (recorder())
        recorder()(text);
    else
        QMessageBox::warning(nullptr, QStringLiteral("Chimewell"), text);
}

void setErrorMessageRecorderForTests(std::function<void(const QString&)> r) {
    recorder() = std::move(r);
}
