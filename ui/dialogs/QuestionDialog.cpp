#include "ui/dialogs/QuestionDialog.h"
#include "ui_QuestionDialog.h"

#include "ui/controls/ColorScheme.h"
#include "ui/dialogs/DialogSeamsDetail.h"
#include "ui/dialogs/DialogsCommon.h"

#include <QPointer>
#include <algorithm>

namespace {

// The designed space between the question and the buttons, and below the buttons.
constexpr int MinLabelToButtons = 12;
constexpr int BottomMargin =
    QuestionDialog::ClientHeight - QuestionDialog::ButtonTop - QuestionDialog::ButtonSize.height();

} // namespace

QuestionDialog::Layout QuestionDialog::layOut(QSize labelSize, QSize yesSize, QSize noSize,
                                              QMargins frame) {
    Layout l;
    const int width = std::max(labelSize.width() + 40, MinWidth);
    const int buttonTop = std::max(ButtonTop, LabelTop + labelSize.height() + MinLabelToButtons);
    const int buttonHeight = std::max(yesSize.height(), noSize.height());
    const int height = std::max(ClientHeight, buttonTop + buttonHeight + BottomMargin);
    l.client = QSize(width - frame.left() - frame.right(), height);
    l.outer = l.client.grownBy(frame);
    l.label = QRect(QPoint(centredLeft(width, labelSize.width()), LabelTop), labelSize);
    const int x = centredLeft(width, yesSize.width() + ButtonGap + noSize.width());
    l.yes = QRect(QPoint(x, buttonTop), yesSize);
    l.no = QRect(QPoint(x + yesSize.width() + ButtonGap, buttonTop), noSize);
    return l;
}

QuestionDialog::QuestionDialog(QWidget* owner)
    : QDialog(owner, DialogWindowFlags), m_ui(std::make_unique<Ui::QuestionDialog>()) {
    setFont(ColorScheme::font());
    m_ui->setupUi(this);
    ColorScheme::applyColorScheme(this);
    setWindowTitle(QString::fromStdString(Texts().question));
    // No comes first in the tab order, so it holds the focus and Enter answers no.
    m_ui->noButton->setFocus(Qt::OtherFocusReason);
    connect(m_ui->yesButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_ui->noButton, &QPushButton::clicked, this, &QDialog::reject);
}

QuestionDialog::~QuestionDialog() = default;

void QuestionDialog::setQuestion(const QString& text, const Texts& texts) {
    m_ui->questionLabel->setText(text);
    m_ui->yesButton->setText(QString::fromStdString(texts.yes));
    m_ui->noButton->setText(QString::fromStdString(texts.no));
    setWindowTitle(QString::fromStdString(texts.question));
    const Layout l =
        layOut(labelTextSize(text, m_ui->questionLabel->fontMetrics()),
               ButtonSize.expandedTo(m_ui->yesButton->sizeHint()),
               ButtonSize.expandedTo(m_ui->noButton->sizeHint()), knownFrameMargins(this));
    // The form's rows put the question and the buttons where the sizing rules want them.
    m_ui->dialogLayout->setContentsMargins(0, l.label.top(), 0, 0);
    m_ui->dialogLayout->setSpacing(l.yes.top() - l.label.bottom() - 1);
    m_ui->questionRow->setContentsMargins(l.label.left(), 0, 0, 0);
    m_ui->buttonRow->setContentsMargins(l.yes.left(), 0, 0, 0);
    m_ui->buttonRow->setSpacing(l.no.left() - l.yes.right() - 1);
    m_ui->questionLabel->setFixedSize(l.label.size());
    m_ui->yesButton->setFixedSize(l.yes.size());
    m_ui->noButton->setFixedSize(l.no.size());
    setFixedSize(l.client);
}

bool askYesNo(const QString& text, QWidget* parent) {
    return askYesNo(text, Texts(), parent);
}

bool askYesNo(const QString& text, const Texts& texts, QWidget* parent) {
    if (const auto canned = dialog_seams::takeNextAskYesNoAnswer())
        return *canned;
    // The owner may be destroyed while the dialog runs; the dialog goes with it then.
    QPointer<QuestionDialog> dialog = new QuestionDialog(parent);
    dialog->setQuestion(text, texts);
    const bool yes = dialog->exec() == QDialog::Accepted;
    delete dialog.data();
    return yes;
}
