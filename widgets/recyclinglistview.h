#pragma once
#include <QAbstractScrollArea>
#include <QVector>
#include <functional>

class QAbstractItemModel;

// A list of any length whose rows are real widgets: widgets are made only
// for the rows on screen (and one cut by the bottom edge), and as the list
// scrolls each is given the row now at its place. So ten thousand records
// cost a dozen widgets, while every button on screen stays an ordinary
// button: the keyboard reaches it, and screen readers find it under its row
// in the accessibility tree (list, viewport, row, button). An item view's
// index widgets or persistent editors would not do: the accessibility
// interface of an item view lists its cells and leaves child widgets out.
//
// The owner makes a row's widget (make) and fills it for a model row (bind);
// the view places rows of a fixed height and keeps the scroll bar. Tab and
// Shift+Tab walk the rows' focusable widgets in order past either edge of
// the screen; Up, Down, Page Up, Page Down, Home and End scroll.
class RecyclingListView : public QAbstractScrollArea
{
    Q_OBJECT

public:
    using RowFactory = std::function<QWidget *(QWidget *parent)>;
    using RowBinder = std::function<void(QWidget *row, int modelRow)>;

    RecyclingListView(int rowHeight, RowFactory make, RowBinder bind, QWidget *parent = nullptr);

    // Rows follow the model's inserts, removals, resets and changes.
    void setModel(QAbstractItemModel *model);
    QAbstractItemModel *model() const { return m_model; }
    // Above the rows and as wide as they are, not scrolled: column titles.
    // Kept in the viewport, where screen readers find it with the rows.
    void setHeader(QWidget *header);
    // Scrolls as little as needed for the row to be whole on screen.
    void scrollTo(int row);
    // The widget showing row; null while that row is off screen.
    QWidget *rowWidget(int row) const;
    // The row a widget of this list shows, or -1.
    int rowOf(const QWidget *widget) const;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool focusNextPrevChild(bool next) override;

private:
    int rowCount() const;
    int firstRow() const;
    // The viewport's height below the header.
    int rowsHeight() const;
    void updateRange();
    void layoutRows();
    // The row widget widget is part of, or null.
    const QWidget *rowContaining(const QWidget *widget) const;
    // The widget at position within row's focusable widgets, scrolled into view.
    bool focusRowWidget(int row, int position, Qt::FocusReason reason);

    int m_rowHeight;
    RowFactory m_make;
    RowBinder m_bind;
    QAbstractItemModel *m_model = nullptr;
    QWidget *m_header = nullptr;
    int m_headerHeight = 0;
    QVector<QWidget *> m_pool; // m_pool[i] shows row m_first + i
    int m_first = 0;
};
