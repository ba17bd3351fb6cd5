#include "DesignerScene.h"

#include "ReportDesigner.h"
#include "ReportRenderer.h"

#include <QGraphicsRectItem>
#include <QGraphicsSceneDragDropEvent>
#include <QGraphicsSceneMouseEvent>
#include <QGraphicsSimpleTextItem>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QStyleOptionGraphicsItem>

using namespace report;

namespace {

constexpr double kGrip = 6;
constexpr double kGutter = 90; // band captions left of the page

const ReportObject &objectOf(const ReportDesigner *d, int band, int object)
{
    return d->reportTemplate().bands.at(band).objects.at(object);
}

} // namespace

DesignerScene::DesignerScene(ReportDesigner *designer) : QGraphicsScene(designer), m_designer(designer) {}

QPointF DesignerScene::bandOrigin(int band) const
{
    const ReportPage &page = m_designer->reportTemplate().page;
    return {page.marginLeft * kPxPerMm, page.marginTop * kPxPerMm + m_designer->reportTemplate().bands.at(band).top};
}

int DesignerScene::bandAt(const QPointF &scenePos) const
{
    const ReportTemplate &t = m_designer->reportTemplate();
    const double width = t.page.contentSizePx().width();
    for (int i = 0; i < t.bands.size(); ++i) {
        const QRectF area(bandOrigin(i), QSizeF(width, t.bands[i].height));
        if (area.contains(scenePos))
            return i;
    }
    return -1;
}

void DesignerScene::rebuild()
{
    clear();
    m_bandItems.clear();
    const ReportTemplate &t = m_designer->reportTemplate();
    const QSizeF paper = t.page.paperSizeMm() * kPxPerMm;
    setSceneRect(-kGutter - 10, -10, paper.width() + kGutter + 20, paper.height() + 20);
    addRect(QRectF(QPointF(4, 4), paper), Qt::NoPen, QColor(0, 0, 0, 60)); // shadow
    addRect(QRectF(QPointF(0, 0), paper), QPen(Qt::gray), Qt::white);
    const QSizeF content = t.page.contentSizePx();
    QPen marginPen(QColor(180, 180, 220));
    marginPen.setStyle(Qt::DotLine);
    addRect(QRectF(QPointF(t.page.marginLeft * kPxPerMm, t.page.marginTop * kPxPerMm), content), marginPen);

    for (int b = 0; b < t.bands.size(); ++b) {
        const ReportBand &band = t.bands[b];
        auto *area = addRect(QRectF(bandOrigin(b), QSizeF(content.width(), band.height)), QPen(),
                             QColor(235, 242, 252, 120));
        QString label = bandTypeName(band.type);
        if (!band.dataset.isEmpty())
            label += QStringLiteral("：") + band.dataset;
        auto *caption = addSimpleText(label);
        caption->setPos(-kGutter, bandOrigin(b).y());
        m_bandItems.append({area, caption});
        for (int o = 0; o < band.objects.size(); ++o)
            addItem(new ObjectItem(this, b, o));
    }
    syncSelection();
}

void DesignerScene::syncSelection()
{
    for (int b = 0; b < m_bandItems.size(); ++b) {
        const bool selected = m_designer->selectedBand() == b && m_designer->selectedObject() < 0;
        QPen pen(selected ? QColor(30, 100, 220) : QColor(150, 170, 200));
        pen.setStyle(selected ? Qt::SolidLine : Qt::DashLine);
        m_bandItems[b].first->setPen(pen);
        m_bandItems[b].second->setBrush(selected ? QColor(30, 100, 220) : QColor(90, 100, 120));
    }
    for (QGraphicsItem *item : items())
        if (auto *o = dynamic_cast<ObjectItem *>(item))
            o->setSelected(o->isAt(m_designer->selectedBand(), m_designer->selectedObject()));
}

void DesignerScene::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    QGraphicsScene::mousePressEvent(event);
    if (event->isAccepted() && mouseGrabberItem())
        return;
    m_designer->select(bandAt(event->scenePos()), -1);
}

void DesignerScene::keyPressEvent(QKeyEvent *event)
{
    const bool resize = event->modifiers() & Qt::ShiftModifier;
    const double step = (event->modifiers() & Qt::ControlModifier) ? 10 : 1;
    auto act = [&](double dx, double dy) {
        if (resize)
            m_designer->resizeSelected(dx, dy);
        else
            m_designer->moveSelected(dx, dy);
    };
    switch (event->key()) {
    case Qt::Key_Left: act(-step, 0); break;
    case Qt::Key_Right: act(step, 0); break;
    case Qt::Key_Up: act(0, -step); break;
    case Qt::Key_Down: act(0, step); break;
    case Qt::Key_Delete: m_designer->removeSelected(); break;
    default: QGraphicsScene::keyPressEvent(event); return;
    }
    event->accept();
}

void DesignerScene::dragEnterEvent(QGraphicsSceneDragDropEvent *event)
{
    event->setAccepted(event->mimeData()->hasText());
}

void DesignerScene::dragMoveEvent(QGraphicsSceneDragDropEvent *event)
{
    event->setAccepted(event->mimeData()->hasText() && bandAt(event->scenePos()) >= 0);
}

void DesignerScene::dropEvent(QGraphicsSceneDragDropEvent *event)
{
    const int band = bandAt(event->scenePos());
    if (band < 0 || !event->mimeData()->hasText()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    m_designer->addFieldObject(band, event->scenePos() - bandOrigin(band), event->mimeData()->text());
}

// --- objects -----------------------------------------------------------------------

ObjectItem::ObjectItem(DesignerScene *scene, int band, int object) : m_scene(scene), m_band(band), m_object(object)
{
    const ReportTemplate &t = scene->designer()->reportTemplate();
    const ReportObject &o = objectOf(scene->designer(), band, object);
    const double left = o.centerInBand ? (t.page.contentSizePx().width() - o.rect.width()) / 2 : o.rect.left();
    setPos(scene->bandOrigin(band) + QPointF(left, o.rect.top()));
    m_size = o.rect.size();
    setFlags(ItemIsSelectable | ItemIsMovable | ItemIsFocusable);
    setZValue(1); // above the band areas
    setToolTip(o.text);
}

QRectF ObjectItem::boundingRect() const
{
    // Lines may have no width or height; keep them clickable.
    return QRectF(QPointF(0, 0), m_size).normalized().adjusted(-3, -3, kGrip + 1, kGrip + 1);
}

QRectF ObjectItem::gripRect() const
{
    return QRectF(m_size.width() - kGrip / 2, m_size.height() - kGrip / 2, kGrip, kGrip);
}

void ObjectItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    PlacedObject placed;
    placed.object = objectOf(m_scene->designer(), m_band, m_object);
    placed.rect = QRectF(QPointF(0, 0), m_size);
    placed.text = placed.object.text;
    drawObject(*painter, placed);
    if (placed.object.kind == ObjectKind::Text && !placed.object.frame) {
        QPen hint(QColor(200, 200, 200));
        hint.setStyle(Qt::DotLine);
        painter->setPen(hint);
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(placed.rect);
    }
    if (isSelected()) {
        QPen pen(QColor(30, 100, 220));
        pen.setStyle(Qt::DashLine);
        painter->setPen(pen);
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(placed.rect);
        painter->fillRect(gripRect(), QColor(30, 100, 220));
    }
}

void ObjectItem::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    m_scene->designer()->select(m_band, m_object);
    m_resizing = gripRect().contains(event->pos());
    m_pressPos = event->scenePos();
    m_pressItemPos = pos();
    m_pressSize = m_size;
    event->accept();
}

void ObjectItem::mouseMoveEvent(QGraphicsSceneMouseEvent *event)
{
    const QPointF delta = event->scenePos() - m_pressPos;
    if (m_resizing) {
        prepareGeometryChange();
        m_size = QSizeF(qMax(0.0, m_pressSize.width() + delta.x()), qMax(0.0, m_pressSize.height() + delta.y()));
        update();
    } else {
        setPos(m_pressItemPos + QPointF(qRound(delta.x()), qRound(delta.y())));
    }
}

// The designer rebuilds the scene after a change on the next turn of the
// event loop, so this item may commit its own move here.
void ObjectItem::mouseReleaseEvent(QGraphicsSceneMouseEvent *event)
{
    const QPointF delta = event->scenePos() - m_pressPos;
    if (delta.manhattanLength() < 1)
        return;
    ReportDesigner *d = m_scene->designer();
    if (m_resizing)
        d->resizeSelected(m_size.width() - m_pressSize.width(), m_size.height() - m_pressSize.height());
    else
        d->moveSelected(pos().x() - m_pressItemPos.x(), pos().y() - m_pressItemPos.y());
}
