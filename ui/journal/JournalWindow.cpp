#include "ui/journal/JournalWindow.h"
#include "ui_JournalWindow.h"

#include "desktop/RegionalDateTime.h"
#include "ui/controls/ColorScheme.h"
#include "ui/controls/WindowPlacer.h"
#include "ui/journal/MissedEntry.h"

#include <QCloseEvent>
#include <QScrollBar>
#include <QShortcut>

#include <algorithm>

JournalWindow::JournalWindow(const WindowPlacement& placement)
    : QWidget(nullptr, Qt::Window), m_ui(std::make_unique<Ui::JournalWindow>()),
      m_placer(new WindowPlacer(this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(ColorScheme::font());
    m_ui->setupUi(this);
    // The list is white; around it, the scheme colour shows as a margin.
    ColorScheme::applyColorScheme(this);
    ColorScheme::fill(m_ui->entryList, Qt::white);
    ColorScheme::fill(m_ui->entryScroll->viewport(), Qt::white);
    // The keys of the main window's commands stop here.
    for (Qt::Key k : {Qt::Key_F2, Qt::Key_F4, Qt::Key_F8, Qt::Key_F9})
        new QShortcut(QKeySequence(k), this);
    m_placer->apply(placement);
}

JournalWindow::~JournalWindow() {
    // Whoever keeps the settings stores it; a window never writes a file, so that closing
    // one (at the exit too) never waits on a full disk or an error box.
    emit left(m_placer->placement());
}

void JournalWindow::setCaption(Moment from, Moment to, const Texts& texts) {
    setWindowTitle(QStringLiteral("%1 %2 %3 %4")
                       .arg(QString::fromStdString(texts.skippedFrom), RegionalDateTimeText(from),
                            QString::fromStdString(texts.skippedTo), RegionalDateTimeText(to)));
}

void JournalWindow::fill(const std::vector<MissedOccurrence>& missed) {
    for (MissedEntry* entry : entries())
        delete entry;
    QVBoxLayout* list = m_ui->entryLayout;
    for (const MissedOccurrence& m : missed) {
        const std::pair key(m.number, m.occurrence);
        if (m_dismissed.count(key) > 0)
            continue;
        auto* entry = new MissedEntry(m, m_ui->entryList);
        connect(entry, &MissedEntry::editRequested, this, &JournalWindow::editRequested);
        connect(entry, &MissedEntry::dismissed, this, [this, key] {
            m_dismissed.insert(key);
            emit entryDismissed(key.first, key.second);
        });
        // Before the spacer that keeps the entries at the top.
        list->insertWidget(list->count() - 1, entry);
        entry->show();
    }
    MissedEntry::alignColumns(entries());
    // The list scrolls only up and down: the window is never narrower than the entries
    // need, with a larger font too.
    constexpr int DesignedListWidth = DesignedSize.width() - 2 * 5; // in the window's margins
    m_ui->entryScroll->setMinimumWidth(std::max(
        DesignedListWidth, m_ui->entryList->minimumSizeHint().width() +
                               m_ui->entryScroll->verticalScrollBar()->sizeHint().width()));
}

QList<MissedEntry*> JournalWindow::entries() const {
    QList<MissedEntry*> shown;
    QVBoxLayout* list = m_ui->entryLayout;
    for (int i = 0; i < list->count(); ++i)
        if (auto* entry = qobject_cast<MissedEntry*>(list->itemAt(i)->widget());
            entry && !entry->isHidden())
            shown << entry;
    return shown;
}

void JournalWindow::bringBack() {
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void JournalWindow::closeEvent(QCloseEvent* event) {
    m_closing = true;
    QWidget::closeEvent(event);
}
