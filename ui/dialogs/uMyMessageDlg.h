#pragma once
// The question dialog: the program's own modal yes/no window, as wide as its text
// needs. AskYesNo creates it for one question; "no" is the safe answer.

#include "i18n/Texts.h"

#include <QDialog>
#include <QMargins>
#include <QRect>
#include <QSize>

class QLabel;
class QPushButton;

// Where everything of the question dialog goes. Its client height never changes;
// `outer` is the window with its frame, the rectangles are in client coordinates.
struct QuestionDialogLayout {
    QSize outer;
    QSize client;
    QRect label;
    QRect yes;
    QRect no;
};

inline constexpr int QuestionClientHeight = 121;
inline constexpr int QuestionLabelTop = 36;
inline constexpr int QuestionButtonTop = 80;
inline constexpr int QuestionButtonGap = 13;
inline constexpr int QuestionMinWidth = 296;
inline constexpr QSize QuestionButtonSize{107, 25};

QuestionDialogLayout LayOutQuestionDialog(QSize labelSize, QSize yesSize, QSize noSize,
                                          QMargins frame);

class TfMyMessageDlg final : public QDialog {
    Q_OBJECT

public:
    explicit TfMyMessageDlg(QWidget* owner);

    // Shows the question with the title and button captions of texts and sizes the
    // window to them.
    void SetQuestion(const QString& text, const Texts& texts);

private:
    QLabel* Label1;
    QPushButton* btYes;
    QPushButton* btNo;
};

// Asks `text` modally over `parent` with the title and the yes and no captions of
// texts; true exactly when the yes button was pressed (no, Esc and the close box give
// false).
bool AskYesNo(const QString& text, const Texts& texts, QWidget* parent = nullptr);
// The same with the English texts.
bool AskYesNo(const QString& text, QWidget* parent = nullptr);
