#include "recyclinglistview.h"
#include <QAbstractItemModel>
#include <QKeyEvent>
#include <QScrollBar>

namespace {
QList<QWidget *> focusables(const QWidget *row)
{
    QList<QWidget *> found;
    for (QWidget *child : row->findChildren<QWidget *>()) {
        if ((child->focusPolicy() & Qt::TabFocus) && child->isEnabled() && child->isVisibleTo(row))
            found.append(child);
    }
    return found;
}
} // namespace

RecyclingListView::RecyclingListView(int rowHeight, RowFactory make, RowBinder bind, QWidget *parent)
    : QAbstractScrollArea(parent)
    , m_rowHeight(rowHeight)
    , m_make(std::move(make))
    , m_bind(std::move(bind))
{
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::StrongFocus);
    verticalScrollBar()->setSingleStep(m_rowHeight);
}

void RecyclingListView::setModel(QAbstractItemModel *model)
{
    m_model = model;
    const auto refresh = [this] {
        updateRange();
        layoutRows();
    };
    connect(model, &QAbstractItemModel::rowsInserted, this, refresh);
    connect(model, &QAbstractItemModel::rowsRemoved, this, refresh);
    connect(model, &QAbstractItemModel::modelReset, this, refresh);
    connect(model, &QAbstractItemModel::layoutChanged, this, refresh);
    connect(model, &QAbstractItemModel::dataChanged, this, refresh);
    refresh();
}

void RecyclingListView::setHeader(QWidget *header)
{
    m_header = header;
    m_headerHeight = header->sizeHint().expandedTo(header->minimumSize()).height();
    // Opaque, so that rows scrolling up pass beneath it.
    header->setParent(viewport());
    header->setAutoFillBackground(true);
    header->show();
    updateRange();
    layoutRows();
}

int RecyclingListView::rowCount() const
{
    return m_model ? m_model->rowCount() : 0;
}

int RecyclingListView::rowsHeight() const
{
    return qMax(0, viewport()->height() - m_headerHeight);
}

int RecyclingListView::firstRow() const
{
    return verticalScrollBar()->value() / m_rowHeight;
}

void RecyclingListView::updateRange()
{
    const int height = rowsHeight();
    verticalScrollBar()->setPageStep(height);
    verticalScrollBar()->setRange(0, qMax(0, rowCount() * m_rowHeight - height));
}

void RecyclingListView::layoutRows()
{
    // Focus stays with the row it was on, whichever widget shows that row now.
    QWidget *focus = window()->focusWidget();
    const QWidget *focusedRowWidget = rowContaining(focus);
    const int focusedRow = focusedRowWidget ? m_first + m_pool.indexOf(const_cast<QWidget *>(focusedRowWidget)) : -1;
    const int focusedPosition = focusedRowWidget ? focusables(focusedRowWidget).indexOf(focus) : -1;

    const int offset = verticalScrollBar()->value();
    const int first = firstRow();
    const int last = (offset + qMax(1, rowsHeight()) - 1) / m_rowHeight; // the lowest row showing a pixel
    const int onScreen = qBound(0, rowCount() - first, last - first + 1);
    m_first = first;
    while (m_pool.size() < onScreen)
        m_pool.append(m_make(viewport()));
    for (int i = 0; i < m_pool.size(); ++i) {
        QWidget *row = m_pool.at(i);
        if (i >= onScreen) {
            row->hide();
            continue;
        }
        m_bind(row, first + i);
        row->setGeometry(0, m_headerHeight + (first + i) * m_rowHeight - offset, viewport()->width(), m_rowHeight);
        row->show();
    }
    if (m_header) {
        m_header->setGeometry(0, 0, viewport()->width(), m_headerHeight);
        m_header->raise();
    }

    if (focusedRow < 0)
        return;
    QWidget *same = rowWidget(focusedRow) ? focusables(rowWidget(focusedRow)).value(focusedPosition) : nullptr;
    if (same)
        same->setFocus(Qt::OtherFocusReason);
    else
        setFocus(Qt::OtherFocusReason); // its row scrolled away: the keys still scroll
}

void RecyclingListView::scrollTo(int row)
{
    QScrollBar *bar = verticalScrollBar();
    const int top = row * m_rowHeight;
    if (top < bar->value())
        bar->setValue(top);
    else if (top + m_rowHeight > bar->value() + rowsHeight())
        bar->setValue(top + m_rowHeight - rowsHeight());
}

QWidget *RecyclingListView::rowWidget(int row) const
{
    const int i = row - m_first;
    if (row < 0 || row >= rowCount() || i < 0 || i >= m_pool.size() || m_pool.at(i)->isHidden())
        return nullptr;
    return m_pool.at(i);
}

const QWidget *RecyclingListView::rowContaining(const QWidget *widget) const
{
    for (; widget && widget != viewport(); widget = widget->parentWidget()) {
        if (m_pool.contains(const_cast<QWidget *>(widget)))
            return widget->isHidden() ? nullptr : widget;
    }
    return nullptr;
}

int RecyclingListView::rowOf(const QWidget *widget) const
{
    const QWidget *row = rowContaining(widget);
    const int shown = row ? m_first + m_pool.indexOf(const_cast<QWidget *>(row)) : -1;
    return shown < rowCount() ? shown : -1;
}

void RecyclingListView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateRange();
    layoutRows();
}

void RecyclingListView::scrollContentsBy(int, int)
{
    layoutRows();
}

void RecyclingListView::keyPressEvent(QKeyEvent *event)
{
    QScrollBar *bar = verticalScrollBar();
    switch (event->key()) {
    case Qt::Key_Up:
        bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
        break;
    case Qt::Key_Down:
        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        break;
    case Qt::Key_PageUp:
        bar->triggerAction(QAbstractSlider::SliderPageStepSub);
        break;
    case Qt::Key_PageDown:
        bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
        break;
    case Qt::Key_Home:
        bar->triggerAction(QAbstractSlider::SliderToMinimum);
        break;
    case Qt::Key_End:
        bar->triggerAction(QAbstractSlider::SliderToMaximum);
        break;
    default:
        QAbstractScrollArea::keyPressEvent(event);
    }
}

bool RecyclingListView::focusNextPrevChild(bool next)
{
    const QWidget *focus = window()->focusWidget();
    const int row = rowOf(focus);
    if (row < 0) {
        // Tab into the list from the list itself: its top row on screen.
        if (next && focus == this && rowCount() > 0)
            return focusRowWidget(firstRow(), 0, Qt::TabFocusReason);
        return QAbstractScrollArea::focusNextPrevChild(next);
    }
    const int position = focusables(rowWidget(row)).indexOf(const_cast<QWidget *>(focus));
    const int last = focusables(rowWidget(row)).size() - 1;
    if (next && position < last)
        return focusRowWidget(row, position + 1, Qt::TabFocusReason);
    if (!next && position > 0)
        return focusRowWidget(row, position - 1, Qt::BacktabFocusReason);
    const int target = row + (next ? 1 : -1);
    if (target < 0 || target >= rowCount()) {
        // Out of the list: past every row, to what follows it or precedes it.
        if (!next) {
            setFocus(Qt::BacktabFocusReason);
            return true;
        }
        return QAbstractScrollArea::focusNextPrevChild(next);
    }
    return focusRowWidget(target, next ? 0 : -1, next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
}

bool RecyclingListView::focusRowWidget(int row, int position, Qt::FocusReason reason)
{
    scrollTo(row);
    QWidget *shown = rowWidget(row);
    if (!shown)
        return false;
    const QList<QWidget *> candidates = focusables(shown);
    if (candidates.isEmpty())
        return false;
    candidates.at(position < 0 ? candidates.size() - 1 : qMin(position, candidates.size() - 1))->setFocus(reason);
    return true;
}
