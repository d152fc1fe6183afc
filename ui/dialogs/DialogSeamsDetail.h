#pragma once
// What the dialogs read of their test seams (see DialogSeams.h).

#include <QString>
#include <functional>
#include <optional>

namespace dialog_seams {

// The canned answer for this question, if one was set; clears it.
std::optional<bool> takeNextAskYesNoAnswer();

// The recorder set by setShowInfoRecorder, or an empty function.
const std::function<void(const QString&)>& showInfoRecorder();

} // namespace dialog_seams
