#include "ui/dialogs/uMyMessageDlg.h"
#include "ui/dialogs/DialogSeamsDetail.h"
#include "ui/dialogs/DialogsCommon.h"
#include "ui/dialogs/uMyMessage.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <algorithm>

QuestionDialogLayout LayOutQuestionDialog(QSize labelSize, QSize yesSize, QSize noSize,
                                          QMargins frame) {
    QuestionDialogLayout l;
    const int width = std::max(labelSize.width() + 40, QuestionMinWidth);
    l.client = QSize(width - frame.left() - frame.right(), QuestionClientHeight);
    l.outer = l.client.grownBy(frame);
    l.label = QRect(QPoint(CentredLeft(width, labelSize.width()), QuestionLabelTop), labelSize);
    const int x = CentredLeft(width, yesSize.width() + QuestionButtonGap + noSize.width());
    l.yes = QRect(QPoint(x, QuestionButtonTop), yesSize);
    l.no = QRect(QPoint(x + yesSize.width() + QuestionButtonGap, QuestionButtonTop), noSize);
    return l;
}

TfMyMessageDlg::TfMyMessageDlg(QWidget* owner) : QDialog(owner, DialogWindowFlags) {
    setObjectName(QStringLiteral("fMyMessageDlg"));
    setWindowTitle(QString::fromStdString(Texts().question));
    setFont(DialogFont());
    setFixedSize(263, QuestionClientHeight);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setTextFormat(Qt::PlainText);
    Label1->setWordWrap(false);

    // No comes first in the tab order, so it holds the focus and Enter answers no.
    btNo = new QPushButton(this);
    btNo->setObjectName(QStringLiteral("btNo"));
    btYes = new QPushButton(this);
    btYes->setObjectName(QStringLiteral("btYes"));
    setTabOrder(btNo, btYes);
    btNo->setDefault(true);
    btNo->setFocus(Qt::OtherFocusReason);

    connect(btYes, &QPushButton::clicked, this, &QDialog::accept);
    connect(btNo, &QPushButton::clicked, this, &QDialog::reject);
}

void TfMyMessageDlg::SetQuestion(const QString& text, const Texts& texts) {
    const QString yesCaption = QString::fromStdString(texts.yes);
    const QString noCaption = QString::fromStdString(texts.no);
    Label1->setText(text);
    setWindowTitle(QString::fromStdString(texts.question));
    const QuestionDialogLayout l =
        LayOutQuestionDialog(LabelTextSize(text, Label1->fontMetrics()), QuestionButtonSize,
                             QuestionButtonSize, KnownFrameMargins(this));
    Label1->setGeometry(l.label);
    btYes->setGeometry(l.yes);
    btNo->setGeometry(l.no);
    btYes->setText(yesCaption);
    btNo->setText(noCaption);
    setFixedSize(l.client);
}

bool AskYesNo(const QString& text, QWidget* parent) {
    return AskYesNo(text, Texts(), parent);
}

bool AskYesNo(const QString& text, const Texts& texts, QWidget* parent) {
    if (const auto canned = dialog_seams::TakeNextAskYesNoAnswer())
        return *canned;
    // The owner may be destroyed while the dialog runs; the dialog goes with it then.
    QPointer<TfMyMessageDlg> dialog = new TfMyMessageDlg(parent);
    dialog->SetQuestion(text, texts);
    const bool yes = dialog->exec() == QDialog::Accepted;
    delete dialog.data();
    return yes;
}
