#pragma once
// The question dialog: the program's own modal yes/no window, as wide as its text
// needs. askYesNo creates it for one question; "no" is the safe answer.

#include "i18n/Texts.h"

#include <QDialog>
#include <QMargins>
#include <QRect>
#include <QSize>
#include <memory>

namespace Ui {
class QuestionDialog;
}

class QuestionDialog final : public QDialog {
    Q_OBJECT

public:
    // Where everything goes. `outer` is the window with its frame, the rectangles are
    // in client coordinates.
    struct Layout {
        QSize outer;
        QSize client;
        QRect label;
        QRect yes;
        QRect no;
    };
    static constexpr int ClientHeight = 121;
    static constexpr int LabelTop = 36;
    static constexpr int ButtonTop = 80;
    static constexpr int ButtonGap = 13;
    static constexpr int MinWidth = 296;
    // The designed button size; a larger font grows the buttons beyond it.
    static constexpr QSize ButtonSize{107, 25};

    // The designed sizing rules: the window is as wide as the label + 40, not below
    // the minimum width; label and the pair of buttons centred; the client height
    // stays as designed. Only a question or buttons too tall for the designed
    // height (several lines, a large font) move the buttons down and grow it.
    static Layout layOut(QSize labelSize, QSize yesSize, QSize noSize, QMargins frame);

    explicit QuestionDialog(QWidget* owner);
    ~QuestionDialog() override;

    // Shows the question with the title and button captions of texts and sizes the
    // window to them.
    void setQuestion(const QString& text, const Texts& texts);

private:
    std::unique_ptr<Ui::QuestionDialog> m_ui;
};

// Asks `text` modally over `parent` with the title and the yes and no captions of
// texts; true exactly when the yes button was pressed (no, Esc and the close box give
// false).
bool askYesNo(const QString& text, const Texts& texts, QWidget* parent = nullptr);
// The same with the English texts.
bool askYesNo(const QString& text, QWidget* parent = nullptr);
