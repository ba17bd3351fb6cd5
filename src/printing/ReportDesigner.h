#pragma once

#include "ReportData.h"
#include "ReportTemplate.h"

#include <QDialog>
#include <QList>

class QAction;
class QGraphicsView;
class QTreeWidget;
class DesignerScene;
class PropertyPanel;

// The template designer: a modal dialog over one template file. The page is
// drawn to scale with its bands; objects are selected, moved and resized with
// the mouse or the arrow keys (Shift+arrow resizes), edited in the property
// panel, and fields are dragged from the field list onto a band. "保存" writes
// the template back to the file it was loaded from.
class ReportDesigner : public QDialog {
    Q_OBJECT
public:
    // Throws report::TemplateError when the file is not a template.
    ReportDesigner(const QString &path, const report::ReportData &sources, QWidget *parent = nullptr);
    ~ReportDesigner() override;

    const report::ReportTemplate &reportTemplate() const { return m_template; }

    // Selection: band index and object index (-1: the band itself, or nothing).
    int selectedBand() const { return m_band; }
    int selectedObject() const { return m_object; }
    void select(int band, int object);

    // Editing operations (each one can be undone).
    void addObject(report::ObjectKind kind);
    // Adds a text object showing `expression` on a band at a position within it.
    void addFieldObject(int band, const QPointF &pos, const QString &expression);
    void removeSelected();
    void addBand(report::BandType type);
    void fillMasterFromHeaders();
    void moveSelected(double dx, double dy);
    void resizeSelected(double dw, double dh);
    void changeObject(const report::ReportObject &o);
    void changeBand(const report::ReportBand &b);
    void changePage(const report::ReportPage &p);
    bool canUndo() const { return !m_undo.isEmpty(); }
    void undo();
    // Writes the template back to its file; false (with a message shown) on failure.
    bool save();

    QAction *actSave = nullptr;
    QAction *actUndo = nullptr;

    // Closing offers to save unsaved changes.
    void reject() override;

private:
    void buildUi();
    void fillFieldList(const report::ReportData &sources);
    void beginChange();
    void afterChange();
    void rebuildScene();
    void restack();

    QString m_path;
    report::ReportTemplate m_template;
    QList<report::ReportTemplate> m_undo;
    bool m_modified = false;
    int m_band = -1;
    int m_object = -1;

    DesignerScene *m_scene = nullptr;
    QGraphicsView *m_view = nullptr;
    QTreeWidget *m_fields = nullptr;
    PropertyPanel *m_props = nullptr;

    friend class DesignerScene;
};
