#pragma once
// The information dialog: the program's own modal message window with one "Ok"
// button, sized to its text. ShowInfo creates it for one showing.

#include <QDialog>
#include <QMargins>
#include <QRect>
#include <QSize>

class QFontMetrics;
class QLabel;
class QPushButton;

// (outer − inner) × 0.5 rounded to the nearest integer, halves to the even neighbour.
int CentredLeft(int outer, int inner);

// The size a label without word wrap takes for `text`; a line break starts a new line.
QSize LabelTextSize(const QString& text, const QFontMetrics& fm);

// Where everything of the information dialog goes. `outer` is the window with its
// frame; `client` is `outer` less `frame`; the rectangles are in client coordinates.
struct InfoDialogLayout {
    QSize outer;
    QSize client;
    QRect label;
    QRect button;
};

inline constexpr int InfoLabelTop = 24;
inline constexpr int InfoMinWidth = 170;
inline constexpr int InfoMinHeight = 125;
inline constexpr QSize InfoButtonSize{134, 26};

InfoDialogLayout LayOutInfoDialog(QSize labelSize, QSize buttonSize, QMargins frame);

class TfMyMessage final : public QDialog {
    Q_OBJECT

public:
    explicit TfMyMessage(QWidget* owner);

    // Shows `text` and sizes the window to it.
    void SetText(const QString& text);
    // Sets the title from the language file in use; until that is read the
    // designed title stays.
    void LoadInfoTexts();

private:
    QLabel* Label1;
    QPushButton* btOk;
};

// Shows `text` in the information dialog, modally over `parent`, and returns when
// it is closed.
void ShowInfo(const QString& text, QWidget* parent = nullptr);
