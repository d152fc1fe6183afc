#pragma once
// The information dialog: the program's own modal message window with one "Ok"
// button, sized to its text. showInfo creates it for one showing.

#include "i18n/LanguageFile.h"

#include <QDialog>
#include <QMargins>
#include <QRect>
#include <QSize>
#include <memory>

namespace Ui {
class InfoDialog;
}

class InfoDialog final : public QDialog {
    Q_OBJECT

public:
    // Where everything goes. `outer` is the window with its frame; `client` is `outer`
    // less `frame`; the rectangles are in client coordinates.
    struct Layout {
        QSize outer;
        QSize client;
        QRect label;
        QRect button;
    };
    static constexpr int LabelTop = 24;
    static constexpr int MinWidth = 170;
    static constexpr int MinHeight = 125;
    // The designed button size; a larger font grows the button beyond it.
    static constexpr QSize ButtonSize{134, 26};

    // The designed sizing rules: the window is as wide as the label + 40 and as high as
    // the button's bottom + 40, not below the minimum size; label and button centred.
    static Layout layOut(QSize labelSize, QSize buttonSize, QMargins frame);

    // The section the dialogs made from now on take their title from (the designed one
    // stays where it has none); dialogs open keep theirs. GUI thread only.
    static void useTexts(LanguageSection<InfoLine> lines);

    explicit InfoDialog(QWidget* owner);
    ~InfoDialog() override;

    // Shows `text` and sizes the window to it.
    void setText(const QString& text);

private:
    std::unique_ptr<Ui::InfoDialog> m_ui;
};

// Shows `text` in the information dialog, modally over `parent`, and returns when it
// is closed.
void showInfo(const QString& text, QWidget* parent = nullptr);
