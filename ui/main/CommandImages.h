#pragma once
// The pictures of the reminder commands, drawn in code at 16 and 32 pixels.

#include <QIcon>

enum class CommandImage {
    BlankDocument, // new
    LinedDocument, // edit
    Cross,         // delete
    TwoDocuments,  // copy
    Arrows,
    List, // missed-events journal
};

QIcon commandIcon(CommandImage image);
