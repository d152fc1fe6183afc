#include "ui/dialogs/InfoDialog.h"
#include "ui_InfoDialog.h"

#include "ui/controls/ColorScheme.h"
#include "ui/controls/SectionText.h"
#include "ui/dialogs/DialogSeamsDetail.h"
#include "ui/dialogs/DialogsCommon.h"

#include <QPointer>
#include <algorithm>

namespace {

LanguageSection<InfoLine>& linesInUse() {
    static LanguageSection<InfoLine> lines;
    return lines;
}

} // namespace

void InfoDialog::useTexts(LanguageSection<InfoLine> lines) {
    linesInUse() = std::move(lines);
}

InfoDialog::Layout InfoDialog::layOut(QSize labelSize, QSize buttonSize, QMargins frame) {
    Layout l;
    const int width = std::max(labelSize.width() + 40, MinWidth);
    const int buttonTop = LabelTop + labelSize.height() + 20;
    const int height = std::max(buttonTop + buttonSize.height() + 40, MinHeight);
    l.outer = QSize(width, height);
    l.client = l.outer.shrunkBy(frame);
    l.label = QRect(QPoint(centredLeft(width, labelSize.width()), LabelTop), labelSize);
    l.button = QRect(QPoint(centredLeft(width, buttonSize.width()), buttonTop), buttonSize);
    return l;
}

InfoDialog::InfoDialog(QWidget* owner)
    : QDialog(owner, DialogWindowFlags), m_ui(std::make_unique<Ui::InfoDialog>()) {
    setFont(ColorScheme::font());
    m_ui->setupUi(this);
    ColorScheme::applyColorScheme(this);
    // The language may give the title; Ok, Esc and the close box all just close the window.
    withLine(linesInUse(), InfoLine::Title,
             [this](const QString& title) { setWindowTitle(title); });
    connect(m_ui->okButton, &QPushButton::clicked, this, &QDialog::reject);
}

InfoDialog::~InfoDialog() = default;

void InfoDialog::setText(const QString& text) {
    m_ui->textLabel->setText(text);
    const QSize labelSize = labelTextSize(text, m_ui->textLabel->fontMetrics());
    const QSize buttonSize = ButtonSize.expandedTo(m_ui->okButton->sizeHint());
    const Layout l = layOut(labelSize, buttonSize, knownFrameMargins(this));
    // The form's rows put the label and the button where the sizing rules want them.
    m_ui->dialogLayout->setContentsMargins(0, l.label.top(), 0, 0);
    m_ui->dialogLayout->setSpacing(l.button.top() - l.label.bottom() - 1);
    m_ui->textRow->setContentsMargins(l.label.left(), 0, 0, 0);
    m_ui->buttonRow->setContentsMargins(l.button.left(), 0, 0, 0);
    m_ui->textLabel->setFixedSize(l.label.size());
    m_ui->okButton->setFixedSize(l.button.size());
    setFixedSize(l.client);
}

void showInfo(const QString& text, QWidget* parent) {
    if (const auto& recorder = dialog_seams::showInfoRecorder()) {
        recorder(text);
        return;
    }
    // The owner may be destroyed while the dialog runs; the dialog goes with it then.
    QPointer<InfoDialog> dialog = new InfoDialog(parent);
    dialog->setText(text);
    dialog->exec();
    delete dialog.data();
}
