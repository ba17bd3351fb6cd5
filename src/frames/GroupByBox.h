#pragma once

// The grid's group-by box and the header drag that feeds it; only GridView uses them.

#include <QFrame>
#include <QPoint>
#include <functional>

class QHeaderView;
class QLabel;
class QToolButton;

// The strip above the column headers: a hint while nothing is grouped, else a
// chip with the grouped column's caption, a "×" that ungroups and a context
// menu that expands or collapses every group.
class GroupByBox : public QFrame {
    Q_OBJECT
public:
    explicit GroupByBox(QWidget *parent = nullptr);

    // Empty: nothing grouped, the hint shows.
    void setGroupCaption(const QString &caption);
    // Marks the box while a column is dragged over it.
    void setDropHighlight(bool on);
    bool dropHighlight() const { return m_highlight; }

signals:
    void ungroupRequested();
    void expandAllRequested();
    void collapseAllRequested();

private:
    QLabel *m_hint;
    QFrame *m_chip;
    QLabel *m_chipCaption;
    bool m_highlight = false;
};

// Dragging a header section up out of the header carries its column to the
// group-by box: a small label with the caption follows the mouse and a release
// over the box asks for grouping. Sideways dragging inside the header still
// moves the column as before.
// The drag is tracked on the header's own mouse events instead of a platform
// drag and drop, so it behaves the same on every platform, tests included.
class HeaderGroupDrag : public QObject {
    Q_OBJECT
public:
    HeaderGroupDrag(QHeaderView *header, GroupByBox *box);

    // Whether a column may be grouped by (columns without a field may not).
    std::function<bool(int logicalColumn)> canGroup;
    bool isDragging() const { return m_dragColumn >= 0; }

signals:
    void dropped(int logicalColumn);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void begin(const QPoint &globalPos);
    void follow(const QPoint &globalPos);
    void finish(const QPoint &globalPos);
    void cancelHeaderPress();
    bool overBox(const QPoint &globalPos) const;

    QHeaderView *m_header;
    GroupByBox *m_box;
    QLabel *m_ghost = nullptr;
    int m_pressedColumn = -1;
    QPoint m_pressPos; // in the header's viewport
    int m_dragColumn = -1;
    bool m_replaying = false;
};
