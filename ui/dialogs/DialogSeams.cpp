#include "ui/dialogs/DialogSeams.h"
#include "ui/dialogs/DialogSeamsDetail.h"

#include <utility>

namespace {

// GUI thread only, like the dialogs themselves.
std::optional<bool> nextAnswer;
std::function<void(const QString&)> infoRecorder;
FileChooser openFileChooser;

} // namespace

void setNextAskYesNoAnswer(bool yes) {
    nextAnswer = yes;
}

void setShowInfoRecorder(std::function<void(const QString&)> recorder) {
    infoRecorder = std::move(recorder);
}

void setFileChooser(FileChooser chooser) {
    openFileChooser = std::move(chooser);
}

namespace dialog_seams {

std::optional<bool> takeNextAskYesNoAnswer() {
    return std::exchange(nextAnswer, std::nullopt);
}

const std::function<void(const QString&)>& showInfoRecorder() {
    return infoRecorder;
}

const FileChooser& fileChooser() {
    return openFileChooser;
}

} // namespace dialog_seams
