#include "ui/main/ThingsGrid.h"

#include "ui/controls/ColorScheme.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QVBoxLayout>
#include <algorithm>

CellLook DecideCell(const ReminderRow& row, int column, Moment nextTime, Moment now, bool inFocus) {
    const bool afterStart = row.flag(Col::AfterStart);
    CellLook look;
    if (column == ColAfterStart) {
        if (!afterStart && !row.isNull(Col::AfterStart))
            look.bitmap = inFocus ? BitScheduleInv : BitSchedule;
        return look;
    }
    if (column == ColComment || column == ColDescription || column == ColDT) {
        look.text = true;
        if (afterStart || nextTime < now)
            look.colour = inFocus ? CellTextColour::Orange : CellTextColour::Grey;
        return look;
    }
    const auto pick = [&](bool shown, CellBitmap normal) {
        if (shown)
            look.bitmap = inFocus ? normal + 1 : normal;
    };
    if (row.flag(Col::Special)) {
        pick(column == ColSpecial, BitShutdown); // only the cross shows
        return look;
    }
    switch (column) {
    case ColMessShow:
        pick(row.flag(Col::MessShow), BitMess);
        break;
    case ColHint:
        pick(row.flag(Col::Hint), BitHint);
        break;
    case ColSound:
        pick(row.flag(Col::Sound) && !row.text(Col::SPath).empty(), BitSound);
        break;
    case ColAnim:
        pick(row.flag(Col::Anim), BitAnim);
        break;
    case ColRunProg:
        pick(row.flag(Col::RunProg) && !row.text(Col::PPath).empty(), BitRunProg);
        break;
    default:
        break;
    }
    return look;
}

SharedWidths FitColumnWidths(bool growing, int gridWidth, int otherColumns, int scrollBar,
                             SharedWidths w) {
    const int G = gridWidth, F = otherColumns, S2 = 2 * scrollBar;
    if (F + DescriptionMaxWidth + MessageMinWidth + S2 < G)
        w.description = DescriptionMaxWidth;
    else
        w.message = MessageMinWidth;
    if (growing) {
        if (w.description >= DescriptionMaxWidth) {
            w.description = DescriptionMaxWidth;
            w.message = std::max(G - (F + DescriptionMaxWidth + S2), FittedWidthFloor);
        } else {
            w.message = MessageMinWidth;
            w.description = std::max(std::min(G - (F + MessageMinWidth + S2), DescriptionMaxWidth),
                                     FittedWidthFloor);
        }
    } else {
        if (w.message <= MessageMinWidth) {
            w.message = MessageMinWidth;
            w.description = std::max(G - (F + MessageMinWidth + S2), FittedWidthFloor);
        } else {
            w.description = DescriptionMaxWidth;
            w.message = std::max(G - (F + DescriptionMaxWidth + S2), MessageMinWidth);
        }
    }
    return w;
}

// --- cells -------------------------------------------------------------------

ThingsCellDelegate::ThingsCellDelegate(ThingsGrid& grid) : QStyledItemDelegate(&grid), grid_(grid) {
}

void ThingsCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    const ThingsListModel& model = grid_.Model();
    const bool inFocus = grid_.Infocus(index.row());
    const QPalette& pal = grid_.palette();
    painter->save();
    painter->setClipRect(option.rect);
    // Blank the cell with the row's background first.
    painter->fillRect(option.rect, inFocus ? pal.color(QPalette::Active, QPalette::Highlight)
                                           : pal.color(QPalette::Base));
    if (const ReminderRow* row = model.RowAt(index.row())) {
        const int column = index.column();
        const bool textColumn = column >= ColComment && column <= ColDT;
        const Moment next = textColumn ? model.NextTimeAt(index.row()) : DayCountEpoch;
        const CellLook look = DecideCell(*row, column, next, model.Now(), inFocus);
        if (look.text) {
            QColor ink = inFocus ? pal.color(QPalette::Active, QPalette::HighlightedText)
                                 : pal.color(QPalette::Text);
            if (look.colour == CellTextColour::Grey)
                ink = GreyText;
            else if (look.colour == CellTextColour::Orange)
                ink = OrangeText;
            painter->setPen(ink);
            painter->setFont(option.font);
            painter->drawText(option.rect.adjusted(2, 2, 0, 0),
                              Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                              index.data(Qt::DisplayRole).toString());
        } else if (look.bitmap >= 0) {
            const QPixmap& pm = grid_.CellImages().Bitmap(static_cast<CellBitmap>(look.bitmap));
            if (!pm.isNull())
                painter->drawPixmap(option.rect.topLeft(), pm);
        }
    }
    painter->restore();
}

// --- grid --------------------------------------------------------------------

ThingsGrid::ThingsGrid(ThingsListModel& model, QWidget* parent)
    : QTableView(parent), model_(model) {
    setObjectName(QStringLiteral("DBGrid1"));
    setAccessibleName(QStringLiteral("Reminders"));
    horizontalHeader()->setAccessibleName(QStringLiteral("Reminder list columns"));
    setModel(&model_);
    setItemDelegate(new ThingsCellDelegate(*this));
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
    for (int c = 0; c < ListColumnCount; ++c)
        SetColumnWidth(c, DesignWidths[c]);
    UpdateRowHeight();
    FitNextTimeColumn();
    connect(header, &QHeaderView::sectionMoved, this, &ThingsGrid::DBGrid1ColumnMoved);
    connect(&model_, &QAbstractItemModel::modelReset, this, &ThingsGrid::FollowCursor);
    FollowCursor();
}

bool ThingsGrid::Infocus(int row) const {
    return hasFocus() && currentIndex().isValid() && currentIndex().row() == row;
}

int ThingsGrid::ColumnWidth(int column) const {
    return horizontalHeader()->sectionSize(column) - (showGrid() ? 1 : 0);
}

void ThingsGrid::SetColumnWidth(int column, int width) {
    horizontalHeader()->resizeSection(column, width + (showGrid() ? 1 : 0));
}

const TCellImages& ThingsGrid::CellImages() const {
    const qreal dpr = viewport()->devicePixelRatioF();
    if (!images_ || images_->DevicePixelRatio() != dpr)
        images_ = std::make_unique<TCellImages>(dpr);
    return *images_;
}

void ThingsGrid::UpdateRowHeight() {
    const int cell = std::max(CellImageSize + 1, fontMetrics().height() + 3);
    verticalHeader()->setDefaultSectionSize(cell + (showGrid() ? 1 : 0));
    verticalHeader()->setMinimumSectionSize(1);
}

int NextTimeTextWidth(const QFontMetrics& fm) {
    // Every date and time has the same pattern; the widest digit in every place
    // gives the widest text.
    QChar widest = QLatin1Char('0');
    for (char d = '1'; d <= '9'; ++d)
        if (fm.horizontalAdvance(QLatin1Char(d)) > fm.horizontalAdvance(widest))
            widest = QLatin1Char(d);
    QString text = NextTimeText(makeMoment(2000, 10, 10, 10, 10));
    for (QChar& c : text)
        if (c.isDigit())
            c = widest;
    return fm.horizontalAdvance(text);
}

void ThingsGrid::FitNextTimeColumn() {
    // The text starts 2 pixels in; keep as much free at its end.
    const int needed = NextTimeTextWidth(fontMetrics()) + 4;
    SetColumnWidth(ColDT, std::max<int>(DesignWidths[ColDT], needed));
}

void ThingsGrid::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Insert:
        emit newThingRequested();
        break;
    case Qt::Key_Delete:
        emit deleteThingRequested();
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit editThingRequested();
        break;
    default:
        QTableView::keyPressEvent(event);
        return;
    }
    event->accept();
}

void ThingsGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        emit editThingRequested();
}

void ThingsGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    // The commands act on the list cursor's current row: keep it on the row shown current.
    if (current.isValid() && !following_)
        model_.Data().listCursor().moveTo(current.row());
    viewport()->update();
}

void ThingsGrid::focusInEvent(QFocusEvent* event) {
    QTableView::focusInEvent(event);
    viewport()->update();
}

void ThingsGrid::focusOutEvent(QFocusEvent* event) {
    QTableView::focusOutEvent(event);
    viewport()->update();
}

void ThingsGrid::changeEvent(QEvent* event) {
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        UpdateRowHeight();
        FitNextTimeColumn();
    }
}

void ThingsGrid::DBGrid1ColumnMoved(int logical, int oldVisual, int newVisual) {
    (void)logical;
    if (undoingMove_)
        return;
    undoingMove_ = true;
    horizontalHeader()->moveSection(newVisual, oldVisual);
    undoingMove_ = false;
}

void ThingsGrid::FollowCursor() {
    const int row = model_.Data().listCursor().position();
    if (row < 0 || row >= model_.rowCount())
        return;
    following_ = true;
    const QModelIndex idx = model_.index(row, ColComment);
    selectionModel()->setCurrentIndex(idx, QItemSelectionModel::ClearAndSelect |
                                               QItemSelectionModel::Rows);
    scrollTo(idx);
    following_ = false;
}

// --- panel -------------------------------------------------------------------

ThingsPanel::ThingsPanel(ThingsListModel& model, QWidget* parent)
    : QWidget(parent), DBGrid1(new ThingsGrid(model, this)) {
    setObjectName(QStringLiteral("Panel2"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(0);
    layout->addWidget(DBGrid1);
    TimerResize.setSingleShot(true);
    TimerResize.setInterval(50);
    connect(&TimerResize, &QTimer::timeout, this, &ThingsPanel::TimerResizeTimer);
}

void ThingsPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The layout has already placed the grid: its width is the new one.
    if (width() != panel2WidthOld_)
        FitColumns();
}

void ThingsPanel::FitColumns() {
    layout()->activate();
    FitColumnsFor(width(), DBGrid1->width());
}

void ThingsPanel::FitColumnsFor(int panelWidth, int gridWidth) {
    const bool growing = panelWidth > panel2WidthOld_;
    panel2WidthOld_ = panelWidth;
    int others = 0;
    for (int c = 0; c < ListColumnCount; ++c)
        if (c != ColComment && c != ColDescription)
            others += DBGrid1->ColumnWidth(c);
    const int S = DBGrid1->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, DBGrid1);
    const SharedWidths now{DBGrid1->ColumnWidth(ColComment), DBGrid1->ColumnWidth(ColDescription)};
    const SharedWidths fit = FitColumnWidths(growing, gridWidth, others, S, now);
    if (fit.message != now.message)
        DBGrid1->SetColumnWidth(ColComment, fit.message);
    if (fit.description != now.description)
        DBGrid1->SetColumnWidth(ColDescription, fit.description);
}

void ThingsPanel::TimerResizeTimer() {
    TimerResize.stop();
    // One pixel wider and back, as a window resize would: the grid gets its
    // description column first, then the message column the rest.
    FitColumnsFor(width() + 1, DBGrid1->width() + 1);
    FitColumnsFor(width(), DBGrid1->width());
}
