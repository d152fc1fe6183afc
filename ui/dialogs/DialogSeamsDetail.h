#pragma once
// What the dialogs read of their test seams (see DialogSeams.h).

#include "ui/dialogs/DialogSeams.h"

#include <QString>
#include <functional>
#include <optional>

namespace dialog_seams {

// The canned answer for this question, if one was set; clears it.
std::optional<bool> takeNextAskYesNoAnswer();

// The recorder set by setShowInfoRecorder, or an empty function.
const std::function<void(const QString&)>& showInfoRecorder();

// The chooser set by setFileChooser, or an empty function.
const FileChooser& fileChooser();

} // namespace dialog_seams
