#include "ui/editor/FilePathRow.h"

#include "ui/controls/FlatToolButton.h"

#include "ui/dialogs/InfoDialog.h"
#include "ui/dialogs/OpenFileDialog.h"

#include <QBoxLayout>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPointer>
#include <QStyle>
#include <QToolButton>

namespace {

// The designed size of the flat buttons.
constexpr QSize ButtonBox(26, 24);

} // namespace

FilePathRow::FilePathRow(QWidget* parent)
    : QWidget(parent), m_chooseButton(makeButton("chooseButton", QStringLiteral("Select..."))),
      m_testButton(makeButton("testButton", QStringLiteral("Test"))),
      m_stopButton(makeButton("stopButton", QStringLiteral("Stop test"))),
      m_pathLabel(new QLabel(this)) {
    m_chooseButton->setText(QStringLiteral("..."));
    // Every button of the row works from the keyboard: Tab reaches it, Space presses it.
    for (QToolButton* b : {m_chooseButton, m_testButton, m_stopButton})
        b->setFocusPolicy(Qt::TabFocus);
    m_testButton->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
    m_stopButton->setIcon(style()->standardIcon(QStyle::SP_MediaStop));

    m_pathLabel->setObjectName(QStringLiteral("pathLabel"));
    m_pathLabel->setTextFormat(Qt::PlainText);
    m_pathLabel->setWordWrap(false);
    // A long path is cut, not given room: the label takes the width that is left.
    m_pathLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_pathLabel->setMinimumWidth(0);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    row->addWidget(m_chooseButton);
    row->addWidget(m_testButton);
    row->addWidget(m_stopButton);
    row->addSpacing(4);
    row->addWidget(m_pathLabel, 1);

    connect(m_chooseButton, &QToolButton::clicked, this, &FilePathRow::choose);
    connect(m_testButton, &QToolButton::clicked, this, [this] { emit testClicked(path()); });
    connect(m_stopButton, &QToolButton::clicked, this, &FilePathRow::stopClicked);
}

FilePathRow::~FilePathRow() = default;

QToolButton* FilePathRow::makeButton(const char* name, const QString& hint) {
    auto* button = new FlatToolButton(this);
    button->setObjectName(QLatin1String(name));
    button->setMinimumSize(ButtonBox);
    setHint(button, hint);
    return button;
}

void FilePathRow::setHint(QToolButton* button, const QString& hint) {
    button->setToolTip(hint);
    button->setAccessibleName(hint);
}

void FilePathRow::setChooseHint(const QString& hint) {
    setHint(m_chooseButton, hint);
}

void FilePathRow::setTestHint(const QString& hint) {
    setHint(m_testButton, hint);
}

void FilePathRow::setStopHint(const QString& hint) {
    setHint(m_stopButton, hint);
}

QString FilePathRow::path() const {
    return m_pathLabel->text();
}

void FilePathRow::setPath(const QString& path) {
    m_pathLabel->setText(path);
}

void FilePathRow::setFilter(const QString& filter) {
    m_filter = filter;
}

void FilePathRow::setStartFolder(std::function<QString()> folder) {
    m_startFolder = std::move(folder);
}

void FilePathRow::setStopButtonVisible(bool visible) {
    m_stopButton->setVisible(visible);
}

void FilePathRow::setPathDescription(const QString& description) {
    m_pathLabel->setAccessibleDescription(description);
}

QWidget* FilePathRow::chooseButton() const {
    return m_chooseButton;
}

QList<QWidget*> FilePathRow::tabStops() const {
    return {m_chooseButton, m_testButton, m_stopButton};
}

void FilePathRow::choose() {
    // The program may end while the dialog is open, destroying this row.
    QPointer<FilePathRow> self(this);
    const QString chosen =
        chooseFileToOpen(window(), m_startFolder ? m_startFolder() : QString(), m_filter);
    if (!self || chosen.isEmpty())
        return;
    const QString full = QDir::toNativeSeparators(QFileInfo(chosen).absoluteFilePath());
    if (full.toUcs4().size() > MaxPathLength) {
        showInfo(QStringLiteral("The path of the chosen file is longer than %1 characters.\n"
                                "Please choose a file with a shorter path.")
                     .arg(MaxPathLength),
                 window());
        return;
    }
    setPath(full);
}
