#include "ui/dialogs/uMyMessage.h"
#include "ui/dialogs/DialogSeamsDetail.h"
#include "ui/dialogs/DialogsCommon.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <algorithm>
#include <cmath>

int CentredLeft(int outer, int inner) {
    // The default floating-point rounding mode rounds halves to even.
    return static_cast<int>(std::nearbyint((outer - inner) * 0.5));
}

QSize LabelTextSize(const QString& text, const QFontMetrics& fm) {
    return fm.size(0, text);
}

InfoDialogLayout LayOutInfoDialog(QSize labelSize, QSize buttonSize, QMargins frame) {
    InfoDialogLayout l;
    const int width = std::max(labelSize.width() + 40, InfoMinWidth);
    const int buttonTop = InfoLabelTop + labelSize.height() + 20;
    const int height = std::max(buttonTop + buttonSize.height() + 40, InfoMinHeight);
    l.outer = QSize(width, height);
    l.client = l.outer.shrunkBy(frame);
    l.label = QRect(QPoint(CentredLeft(width, labelSize.width()), InfoLabelTop), labelSize);
    l.button = QRect(QPoint(CentredLeft(width, buttonSize.width()), buttonTop), buttonSize);
    return l;
}

TfMyMessage::TfMyMessage(QWidget* owner) : QDialog(owner, DialogWindowFlags) {
    setObjectName(QStringLiteral("fMyMessage"));
    setWindowTitle(QStringLiteral("fMyMessage"));
    setFont(DialogFont());
    setFixedSize(164, 107);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setTextFormat(Qt::PlainText);
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label1->setWordWrap(false);

    btOk = new QPushButton(QStringLiteral("Ok"), this);
    btOk->setObjectName(QStringLiteral("btOk"));
    btOk->setDefault(true);
    // Ok, Esc and the close box all just close the window.
    connect(btOk, &QPushButton::clicked, this, &QDialog::reject);
}

void TfMyMessage::SetText(const QString& text) {
    Label1->setText(text);
    const QSize labelSize = LabelTextSize(text, Label1->fontMetrics());
    const InfoDialogLayout l = LayOutInfoDialog(labelSize, InfoButtonSize, KnownFrameMargins(this));
    Label1->setGeometry(l.label);
    btOk->setGeometry(l.button);
    setFixedSize(l.client);
}

void TfMyMessage::LoadInfoTexts() {
    // The language-file reader is not there yet: the designed title stays.
}

void ShowInfo(const QString& text, QWidget* parent) {
    if (const auto& recorder = dialog_seams::ShowInfoRecorder()) {
        recorder(text);
        return;
    }
    // The owner may be destroyed while the dialog runs; the dialog goes with it then.
    QPointer<TfMyMessage> dialog = new TfMyMessage(parent);
    dialog->SetText(text);
    dialog->LoadInfoTexts();
    dialog->exec();
    delete dialog.data();
}
