#pragma once
// What the dialogs read of their test seams (see DialogSeams.h).

#include <QString>
#include <functional>
#include <optional>

namespace dialog_seams {

// The canned answer for this question, if one was set; clears it.
std::optional<bool> TakeNextAskYesNoAnswer();

// The recorder set by SetShowInfoRecorder, or an empty function.
const std::function<void(const QString&)>& ShowInfoRecorder();

} // namespace dialog_seams
