#include "ui/main/ReminderListView.h"

#include "ui/controls/ColorScheme.h"
#include "ui/main/ReminderListDelegate.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <algorithm>

CellLook decideCell(const ReminderRow& row, int column, Moment nextTime, Moment now,
                    bool highlighted) {
    CellLook look;
    const auto pick = [&](bool shown, CellPicture picture) {
        if (!shown)
            return;
        look.picture = picture;
        look.light = highlighted;
    };
    if (column == AfterStartColumn) {
        pick(row.isScheduled(), CellPicture::Schedule);
        return look;
    }
    if (column == MessageColumn || column == DescriptionColumn || column == NextTimeColumn) {
        look.text = true;
        if (row.isAfterStart() || nextTime < now)
            look.colour = highlighted ? CellTextColour::Orange : CellTextColour::Grey;
        return look;
    }
    if (row.power()) {
        pick(column == PowerColumn, CellPicture::Power); // only the cross shows
        return look;
    }
    switch (column) {
    case ShowAlertColumn:
        pick(row.showAlert(), CellPicture::Alert);
        break;
    case HintColumn:
        pick(row.showHint(), CellPicture::Hint);
        break;
    case SoundColumn:
        pick(row.playSound() && !row.soundPath().empty(), CellPicture::Sound);
        break;
    case FlashColumn:
        pick(row.flashTray(), CellPicture::Flash);
        break;
    case OpenFileColumn:
        pick(row.openFile() && !row.openPath().empty(), CellPicture::OpenFile);
        break;
    default:
        break;
    }
    return look;
}

int nextTimeTextWidth(const QFontMetrics& fm) {
    // Every date and time has the same pattern; the widest digit in every place
    // gives the widest text.
    QChar widest = QLatin1Char('0');
    for (char d = '1'; d <= '9'; ++d)
        if (fm.horizontalAdvance(QLatin1Char(d)) > fm.horizontalAdvance(widest))
            widest = QLatin1Char(d);
    QString text = nextTimeText(makeMoment(2000, 10, 10, 10, 10));
    for (QChar& c : text)
        if (c.isDigit())
            c = widest;
    return fm.horizontalAdvance(text);
}

ReminderListView::ReminderListView(QWidget* parent) : QTableView(parent) {
    setAccessibleName(QStringLiteral("Reminders"));
    horizontalHeader()->setAccessibleName(QStringLiteral("Reminder list columns"));
    setItemDelegate(new ReminderListDelegate(*this));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setShowGrid(true);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    QHeaderView* header = horizontalHeader();
    header->setMinimumSectionSize(4);
    header->setStretchLastSection(false);
    header->setHighlightSections(false);
    header->setSectionsMovable(true); // a move is undone at once, see below
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // The highlighted row is navy with white text, which the light pictures suit.
    QPalette pal = palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        pal.setColor(group, QPalette::Highlight, ColorScheme::highlightColor());
        pal.setColor(group, QPalette::HighlightedText, ColorScheme::highlightedTextColor());
    }
    setPalette(pal);
    updateRowHeight();
    connect(header, &QHeaderView::sectionMoved, this, &ReminderListView::undoColumnMove);
}

void ReminderListView::setReminderModel(ReminderListModel* model) {
    if (m_model != nullptr)
        disconnect(m_model, nullptr, this, nullptr);
    m_model = model;
    setModel(model);
    if (model == nullptr)
        return;
    for (int c = 0; c < ListColumnCount; ++c)
        setCellWidth(c, DesignWidths[c]);
    fitNextTimeColumn();
    connect(model, &QAbstractItemModel::modelAboutToBeReset, this,
            &ReminderListView::rememberCurrent);
    connect(model, &QAbstractItemModel::modelReset, this, &ReminderListView::restoreCurrent);
    m_keptNumber.reset();
    m_keptRow = -1;
    restoreCurrent();
}

std::optional<std::int32_t> ReminderListView::currentNumber() const {
    if (m_model == nullptr || !currentIndex().isValid())
        return std::nullopt;
    return m_model->numberAt(currentIndex().row());
}

bool ReminderListView::setCurrentNumber(std::int32_t number) {
    const int row = m_model == nullptr ? -1 : m_model->rowOfNumber(number);
    if (row < 0)
        return false;
    makeCurrent(row);
    return true;
}

void ReminderListView::rememberCurrent() {
    m_keptNumber = currentNumber();
    m_keptRow = currentIndex().isValid() ? currentIndex().row() : -1;
}

void ReminderListView::restoreCurrent() {
    const int rows = m_model->rowCount();
    if (rows == 0) {
        emit currentReminderChanged();
        return;
    }
    // A reminder just added, else the one current before, else the row now at its
    // place (the last one when the list got shorter), else the first.
    int row = -1;
    if (const auto added = m_model->addedNumber())
        row = m_model->rowOfNumber(*added);
    if (row < 0 && m_keptNumber)
        row = m_model->rowOfNumber(*m_keptNumber);
    if (row < 0)
        row = std::clamp(m_keptRow, 0, rows - 1);
    makeCurrent(row);
    emit currentReminderChanged();
}

void ReminderListView::makeCurrent(int row) {
    const QModelIndex index = m_model->index(row, MessageColumn);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                 QItemSelectionModel::Rows);
    scrollTo(index);
}

bool ReminderListView::isHighlighted(int row) const {
    return hasFocus() && currentIndex().isValid() && currentIndex().row() == row;
}

int ReminderListView::cellWidth(int column) const {
    return horizontalHeader()->sectionSize(column) - (showGrid() ? 1 : 0);
}

void ReminderListView::setCellWidth(int column, int width) {
    horizontalHeader()->resizeSection(column, width + (showGrid() ? 1 : 0));
}

const CellImages& ReminderListView::cellImages() const {
    const qreal dpr = viewport()->devicePixelRatioF();
    if (!m_images || m_images->devicePixelRatio() != dpr)
        m_images = std::make_unique<CellImages>(dpr);
    return *m_images;
}

void ReminderListView::updateRowHeight() {
    const int cell = std::max(CellImageSize + 1, fontMetrics().height() + 3);
    verticalHeader()->setDefaultSectionSize(cell + (showGrid() ? 1 : 0));
    verticalHeader()->setMinimumSectionSize(1);
}

void ReminderListView::fitNextTimeColumn() {
    if (m_model == nullptr)
        return;
    // The text starts 2 pixels in; keep as much free at its end.
    const int needed = nextTimeTextWidth(fontMetrics()) + 4;
    setCellWidth(NextTimeColumn, std::max<int>(DesignWidths[NextTimeColumn], needed));
}

void ReminderListView::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Insert:
        emit newReminderRequested();
        break;
    case Qt::Key_Delete:
        emit deleteRequested();
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit editRequested();
        break;
    default:
        QTableView::keyPressEvent(event);
        return;
    }
    event->accept();
}

void ReminderListView::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        emit editRequested();
}

void ReminderListView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    viewport()->update();
    if (current.row() != previous.row())
        emit currentReminderChanged();
}

void ReminderListView::focusInEvent(QFocusEvent* event) {
    QTableView::focusInEvent(event);
    viewport()->update();
}

void ReminderListView::focusOutEvent(QFocusEvent* event) {
    QTableView::focusOutEvent(event);
    viewport()->update();
}

void ReminderListView::paintEvent(QPaintEvent* event) {
    // The rows on screen are worked out as they are drawn, all for the same moment.
    if (m_model != nullptr && m_clock != nullptr)
        m_model->setNow(*m_clock);
    QTableView::paintEvent(event);
}

void ReminderListView::changeEvent(QEvent* event) {
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        updateRowHeight();
        fitNextTimeColumn();
    }
}

void ReminderListView::undoColumnMove(int logical, int oldVisual, int newVisual) {
    (void)logical;
    if (m_undoingMove)
        return;
    m_undoingMove = true;
    horizontalHeader()->moveSection(newVisual, oldVisual);
    m_undoingMove = false;
}
