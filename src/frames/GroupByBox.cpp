#include "GroupByBox.h"

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QStyle>
#include <QToolButton>

// --- GroupByBox ----------------------------------------------------------------

GroupByBox::GroupByBox(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("groupBox"));
    setStyleSheet(QStringLiteral(
        "#groupBox { background: #F3F5F8; border: 1px solid #C8CED8; }"
        "#groupBox[dropTarget=\"true\"] { background: #DCE8F8; border: 1px dashed #3A78C8; }"
        "#groupHint { color: #7A8494; }"
        "#groupChip { background: #FFFFFF; border: 1px solid #9AA8BC; border-radius: 3px; }"
        "#groupChipClose { border: none; padding: 0 2px; color: #5A6474; }"
        "#groupChipClose:hover { color: #C02020; }"));

    m_hint = new QLabel(QStringLiteral("拖动列标题到此处，按该列分组"), this);
    m_hint->setObjectName(QStringLiteral("groupHint"));

    m_chip = new QFrame(this);
    m_chip->setObjectName(QStringLiteral("groupChip"));
    m_chipCaption = new QLabel(m_chip);
    auto *close = new QToolButton(m_chip);
    close->setObjectName(QStringLiteral("groupChipClose"));
    close->setText(QStringLiteral("×"));
    close->setToolTip(QStringLiteral("取消分组"));
    close->setAutoRaise(true);
    close->setCursor(Qt::PointingHandCursor);
    connect(close, &QToolButton::clicked, this, &GroupByBox::ungroupRequested);
    auto *chipLayout = new QHBoxLayout(m_chip);
    chipLayout->setContentsMargins(8, 2, 2, 2);
    chipLayout->setSpacing(4);
    chipLayout->addWidget(m_chipCaption);
    chipLayout->addWidget(close);

    auto *expand = new QAction(QStringLiteral("全部展开"), m_chip);
    auto *collapse = new QAction(QStringLiteral("全部折叠"), m_chip);
    connect(expand, &QAction::triggered, this, &GroupByBox::expandAllRequested);
    connect(collapse, &QAction::triggered, this, &GroupByBox::collapseAllRequested);
    m_chip->addActions({expand, collapse});
    m_chip->setContextMenuPolicy(Qt::ActionsContextMenu);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->addWidget(m_hint);
    layout->addWidget(m_chip);
    layout->addStretch(1);
    setGroupCaption(QString());
    // As high with the hint as with the chip, so the grid does not jump when grouping.
    setMinimumHeight(m_chip->sizeHint().height() + layout->contentsMargins().top() +
                     layout->contentsMargins().bottom() + 2);
}

void GroupByBox::setGroupCaption(const QString &caption)
{
    m_chipCaption->setText(caption);
    m_chip->setVisible(!caption.isEmpty());
    m_hint->setVisible(caption.isEmpty());
}

void GroupByBox::setDropHighlight(bool on)
{
    if (m_highlight == on)
        return;
    m_highlight = on;
    setProperty("dropTarget", on);
    style()->unpolish(this); // the style sheet reads the property when polishing
    style()->polish(this);
    update();
}

// --- HeaderGroupDrag -----------------------------------------------------------

HeaderGroupDrag::HeaderGroupDrag(QHeaderView *header, GroupByBox *box)
    : QObject(header), m_header(header), m_box(box)
{
    header->viewport()->installEventFilter(this);
}

bool HeaderGroupDrag::eventFilter(QObject *watched, QEvent *event)
{
    if (m_replaying || watched != m_header->viewport())
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *e = static_cast<QMouseEvent *>(event);
        m_pressedColumn = e->button() == Qt::LeftButton ? m_header->logicalIndexAt(e->position().toPoint()) : -1;
        m_pressPos = e->position().toPoint();
        return false;
    }
    case QEvent::MouseMove: {
        auto *e = static_cast<QMouseEvent *>(event);
        const QPoint global = e->globalPosition().toPoint();
        if (isDragging()) {
            follow(global);
            return true;
        }
        // Only upwards, towards the box: sideways the header moves the column.
        const bool leftUpwards = e->position().y() < -QApplication::startDragDistance();
        if ((e->buttons() & Qt::LeftButton) && m_pressedColumn >= 0 && leftUpwards && m_box->isVisible() &&
            (!canGroup || canGroup(m_pressedColumn))) {
            begin(global);
            return true;
        }
        return false;
    }
    case QEvent::MouseButtonRelease: {
        m_pressedColumn = -1;
        if (!isDragging())
            return false;
        finish(static_cast<QMouseEvent *>(event)->globalPosition().toPoint());
        return true;
    }
    default:
        return false;
    }
}

void HeaderGroupDrag::begin(const QPoint &globalPos)
{
    m_dragColumn = m_pressedColumn;
    cancelHeaderPress();
    QWidget *window = m_box->window();
    m_ghost = new QLabel(m_header->model()->headerData(m_dragColumn, Qt::Horizontal).toString(), window);
    m_ghost->setStyleSheet(QStringLiteral(
        "background: #FFFFFF; border: 1px solid #3A78C8; padding: 2px 8px; color: #1E2A3A;"));
    m_ghost->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_ghost->adjustSize();
    m_ghost->show();
    m_ghost->raise();
    follow(globalPos);
}

void HeaderGroupDrag::follow(const QPoint &globalPos)
{
    if (m_ghost)
        m_ghost->move(m_ghost->parentWidget()->mapFromGlobal(globalPos) + QPoint(8, 8));
    m_box->setDropHighlight(overBox(globalPos));
}

void HeaderGroupDrag::finish(const QPoint &globalPos)
{
    const int column = m_dragColumn;
    m_dragColumn = -1;
    delete m_ghost;
    m_ghost = nullptr;
    m_box->setDropHighlight(false);
    if (overBox(globalPos))
        emit dropped(column);
}

// The header took the press as the start of a column move (or a click that
// sorts). Moving back to where it started and releasing there with clicks
// switched off ends that without moving or sorting anything.
void HeaderGroupDrag::cancelHeaderPress()
{
    QWidget *viewport = m_header->viewport();
    const QPointF local(m_pressPos);
    const QPointF global(viewport->mapToGlobal(m_pressPos));
    const bool clickable = m_header->sectionsClickable();
    m_replaying = true;
    QMouseEvent back(QEvent::MouseMove, local, global, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &back);
    m_header->setSectionsClickable(false);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &release);
    m_header->setSectionsClickable(clickable);
    m_replaying = false;
}

bool HeaderGroupDrag::overBox(const QPoint &globalPos) const
{
    return m_box->isVisible() && m_box->rect().contains(m_box->mapFromGlobal(globalPos));
}
