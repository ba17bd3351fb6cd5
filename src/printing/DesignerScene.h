#pragma once

#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QList>
#include <QPair>

class QGraphicsRectItem;
class QGraphicsSimpleTextItem;

class ReportDesigner;

// The designer's drawing of the page: one item per band and per object.
// Objects are moved by dragging and resized by their corner grip; fields
// dropped from the field list become text objects on the band under them.
class DesignerScene : public QGraphicsScene {
    Q_OBJECT
public:
    explicit DesignerScene(ReportDesigner *designer);

    void rebuild();
    // Shows the designer's selection without rebuilding.
    void syncSelection();
    // Scene position of a band's top-left corner.
    QPointF bandOrigin(int band) const;
    // Band under a scene position, -1 when none.
    int bandAt(const QPointF &scenePos) const;

    ReportDesigner *designer() const { return m_designer; }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void dragEnterEvent(QGraphicsSceneDragDropEvent *event) override;
    void dragMoveEvent(QGraphicsSceneDragDropEvent *event) override;
    void dropEvent(QGraphicsSceneDragDropEvent *event) override;
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;

private:
    ReportDesigner *m_designer;
    QList<QPair<QGraphicsRectItem *, QGraphicsSimpleTextItem *>> m_bandItems;
};

// One template object on the page.
class ObjectItem : public QGraphicsItem {
public:
    ObjectItem(DesignerScene *scene, int band, int object);
    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;
    bool isAt(int band, int object) const { return m_band == band && m_object == object; }

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override;

private:
    QRectF gripRect() const;

    DesignerScene *m_scene;
    int m_band;
    int m_object;
    QSizeF m_size;
    bool m_resizing = false;
    QPointF m_pressPos;
    QPointF m_pressItemPos;
    QSizeF m_pressSize;
};
