#include "ReportDesigner.h"

#include "DefaultTemplate.h"
#include "DesignerScene.h"
#include "PropertyPanel.h"
#include "TemplateFile.h"
#include "data/Dataset.h"
#include "data/uFunction.h"

#include <QAction>
#include <QGraphicsView>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QSplitter>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

using namespace report;

namespace {

constexpr double kBandGap = 20;
constexpr int kUndoDepth = 100;

// The field list: dragging an entry carries its expression as text.
class FieldTree : public QTreeWidget {
public:
    using QTreeWidget::QTreeWidget;

protected:
    QMimeData *mimeData(const QList<QTreeWidgetItem *> &items) const override
    {
        if (items.isEmpty() || items.first()->data(0, Qt::UserRole).toString().isEmpty())
            return nullptr;
        auto *mime = new QMimeData;
        mime->setText(items.first()->data(0, Qt::UserRole).toString());
        return mime;
    }
};

QString objectStem(ObjectKind kind)
{
    switch (kind) {
    case ObjectKind::Text: return QStringLiteral("Memo");
    case ObjectKind::Line: return QStringLiteral("Line");
    case ObjectKind::Rect: return QStringLiteral("Shape");
    case ObjectKind::Barcode: return QStringLiteral("Barcode");
    }
    return QStringLiteral("Object");
}

QString uniqueObjectName(const ReportTemplate &t, const QString &stem)
{
    for (int i = 1;; ++i) {
        const QString name = stem + QString::number(i);
        const bool used = std::any_of(t.bands.cbegin(), t.bands.cend(), [&](const ReportBand &b) {
            return std::any_of(b.objects.cbegin(), b.objects.cend(),
                               [&](const ReportObject &o) { return o.name == name; });
        });
        if (!used)
            return name;
    }
}

} // namespace

ReportDesigner::ReportDesigner(const QString &path, const ReportData &sources, QWidget *parent)
    : QDialog(parent), m_path(path), m_template(loadTemplateFile(path))
{
    setWindowTitle(QStringLiteral("报表设计 - %1").arg(QFileInfo(path).fileName()));
    buildUi();
    fillFieldList(sources);
    rebuildScene();
}

ReportDesigner::~ReportDesigner() = default;

void ReportDesigner::buildUi()
{
    resize(1320, 820);
    auto *layout = new QVBoxLayout(this);
    auto *bar = new QToolBar(this);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    actSave = bar->addAction(QStringLiteral("保存"), this, [this] { save(); });
    actSave->setShortcut(QKeySequence::Save);
    actUndo = bar->addAction(QStringLiteral("撤销"), this, &ReportDesigner::undo);
    actUndo->setShortcut(QKeySequence::Undo);
    bar->addSeparator();
    bar->addAction(QStringLiteral("文本"), this, [this] { addObject(ObjectKind::Text); });
    bar->addAction(QStringLiteral("线条"), this, [this] { addObject(ObjectKind::Line); });
    bar->addAction(QStringLiteral("矩形"), this, [this] { addObject(ObjectKind::Rect); });
    bar->addAction(QStringLiteral("条码"), this, [this] { addObject(ObjectKind::Barcode); });
    bar->addAction(QStringLiteral("删除"), this, &ReportDesigner::removeSelected);
    bar->addSeparator();
    auto *bandMenu = new QMenu(this);
    for (BandType type : {BandType::ReportTitle, BandType::PageHeader, BandType::MasterData, BandType::DetailData,
                          BandType::Summary, BandType::PageFooter})
        bandMenu->addAction(bandTypeName(type), this, [this, type] { addBand(type); });
    auto *bandButton = new QToolButton(bar);
    bandButton->setText(QStringLiteral("添加栏"));
    bandButton->setMenu(bandMenu);
    bandButton->setPopupMode(QToolButton::InstantPopup);
    bar->addWidget(bandButton);
    bar->addAction(QStringLiteral("按表头生成数据栏"), this, &ReportDesigner::fillMasterFromHeaders);
    bar->addSeparator();
    bar->addAction(QStringLiteral("关闭"), this, &ReportDesigner::reject);
    layout->addWidget(bar);

    auto *split = new QSplitter(this);
    m_fields = new FieldTree(split);
    m_fields->setHeaderLabel(QStringLiteral("字段（拖到栏上）"));
    m_fields->setDragEnabled(true);
    m_fields->setDragDropMode(QAbstractItemView::DragOnly);
    m_scene = new DesignerScene(this);
    m_view = new QGraphicsView(m_scene, split);
    m_view->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_view->setBackgroundBrush(QColor(200, 204, 210));
    m_view->setAcceptDrops(true);
    m_props = new PropertyPanel(this);
    split->addWidget(m_fields);
    split->addWidget(m_view);
    split->addWidget(m_props);
    split->setStretchFactor(1, 1);
    split->setSizes({160, 880, 280});
    layout->addWidget(split, 1);
    actUndo->setEnabled(false);
}

void ReportDesigner::fillFieldList(const ReportData &sources)
{
    auto addDataset = [this](const QString &name, const Dataset *ds) {
        auto *root = new QTreeWidgetItem(m_fields, {name});
        if (!ds || !ds->isActive()) {
            root->setText(0, name + QStringLiteral("（无数据）"));
            return;
        }
        for (const QString &field : ds->fieldNames()) {
            auto *item = new QTreeWidgetItem(root, {field});
            item->setData(0, Qt::UserRole, QStringLiteral("[%1.\"%2\"]").arg(name, field));
        }
        root->setExpanded(name == masterName());
    };
    addDataset(masterName(), sources.master);
    addDataset(detailName(), sources.detail);
    addDataset(companyName(), sources.company);
    auto *system = new QTreeWidgetItem(m_fields, {QStringLiteral("系统变量")});
    const QList<QPair<QString, QString>> vars{{QStringLiteral("页码"), pageNumberText()},
                                              {QStringLiteral("日期"), QStringLiteral("[Date]")},
                                              {QStringLiteral("时间"), QStringLiteral("[Time]")}};
    for (const auto &v : vars) {
        auto *item = new QTreeWidgetItem(system, {v.first});
        item->setData(0, Qt::UserRole, v.second);
    }
    system->setExpanded(true);
}

void ReportDesigner::rebuildScene()
{
    if (m_band >= m_template.bands.size())
        m_band = -1;
    if (m_band < 0 || m_object >= m_template.bands[m_band].objects.size())
        m_object = -1;
    m_scene->rebuild();
    m_props->load();
}

void ReportDesigner::select(int band, int object)
{
    m_band = band;
    m_object = band < 0 ? -1 : object;
    m_scene->syncSelection();
    m_props->load();
}

void ReportDesigner::beginChange()
{
    m_undo.append(m_template);
    if (m_undo.size() > kUndoDepth)
        m_undo.removeFirst();
}

// Rebuilt on the next turn of the event loop: a change may come from an item
// of the scene that is still handling its mouse event.
void ReportDesigner::afterChange()
{
    m_modified = true;
    actUndo->setEnabled(true);
    QTimer::singleShot(0, m_scene, [this] { rebuildScene(); });
}

void ReportDesigner::undo()
{
    if (m_undo.isEmpty())
        return;
    m_template = m_undo.takeLast();
    m_modified = true;
    actUndo->setEnabled(!m_undo.isEmpty());
    rebuildScene();
}

// Bands lie one under another in print order, with a gap for clarity.
void ReportDesigner::restack()
{
    std::stable_sort(m_template.bands.begin(), m_template.bands.end(),
                     [](const ReportBand &a, const ReportBand &b) { return a.type < b.type; });
    double top = m_template.bands.isEmpty() ? 0 : std::min(m_template.bands.first().top, 10.0);
    for (ReportBand &b : m_template.bands) {
        b.top = top;
        top += b.height + kBandGap;
    }
}

void ReportDesigner::addObject(ObjectKind kind)
{
    int band = m_band;
    if (band < 0)
        for (int i = 0; i < m_template.bands.size() && band < 0; ++i)
            if (m_template.bands[i].type == BandType::MasterData)
                band = i;
    if (band < 0) {
        showInfo(this, QStringLiteral("提示"), QStringLiteral("请先选择一个栏。"));
        return;
    }
    beginChange();
    ReportObject o;
    o.kind = kind;
    o.name = uniqueObjectName(m_template, objectStem(kind));
    const double h = qMin(20.0, m_template.bands[band].height);
    switch (kind) {
    case ObjectKind::Text: o.rect = QRectF(0, 0, 100, h); o.text = QStringLiteral("文本"); break;
    case ObjectKind::Line: o.rect = QRectF(0, h / 2, 200, 0); break;
    case ObjectKind::Rect: o.rect = QRectF(0, 0, 100, h); break;
    case ObjectKind::Barcode:
        o.rect = QRectF(0, 0, 160, qMax(h, 50.0));
        o.text = QStringLiteral("123456789");
        break;
    }
    m_template.bands[band].objects.append(o);
    m_band = band;
    m_object = static_cast<int>(m_template.bands[band].objects.size()) - 1;
    afterChange();
}

void ReportDesigner::addFieldObject(int band, const QPointF &pos, const QString &expression)
{
    if (band < 0 || band >= m_template.bands.size())
        return;
    beginChange();
    ReportObject o;
    o.name = uniqueObjectName(m_template, objectStem(ObjectKind::Text));
    const ReportBand &b = m_template.bands[band];
    o.rect = QRectF(qRound(pos.x()), qBound(0.0, double(qRound(pos.y())), qMax(0.0, b.height - 20)), 100,
                    qMin(20.0, b.height));
    o.text = expression;
    m_template.bands[band].objects.append(o);
    m_band = band;
    m_object = static_cast<int>(b.objects.size()) - 1;
    afterChange();
}

void ReportDesigner::removeSelected()
{
    if (m_band < 0)
        return;
    beginChange();
    if (m_object >= 0)
        m_template.bands[m_band].objects.removeAt(m_object);
    else
        m_template.bands.removeAt(m_band);
    m_object = -1;
    if (m_band >= m_template.bands.size())
        m_band = -1;
    afterChange();
}

void ReportDesigner::addBand(BandType type)
{
    if (m_template.band(type)) {
        showInfo(this, QStringLiteral("提示"), QStringLiteral("报表中已经有%1栏。").arg(bandTypeName(type)));
        return;
    }
    beginChange();
    ReportBand b;
    b.type = type;
    b.height = type == BandType::ReportTitle || type == BandType::PageHeader ? 30 : 20;
    if (type == BandType::MasterData)
        b.dataset = masterName();
    if (type == BandType::DetailData)
        b.dataset = detailName();
    m_template.bands.append(b);
    restack();
    for (int i = 0; i < m_template.bands.size(); ++i)
        if (m_template.bands[i].type == type)
            m_band = i;
    m_object = -1;
    afterChange();
}

void ReportDesigner::fillMasterFromHeaders()
{
    ReportTemplate next = m_template;
    if (addFieldCellsUnderHeaders(next) == 0) {
        showInfo(this, QStringLiteral("提示"), QStringLiteral("没有可生成的数据栏：主数据栏已有页眉各列的字段。"));
        return;
    }
    beginChange();
    m_template = next;
    afterChange();
}

void ReportDesigner::moveSelected(double dx, double dy)
{
    if (m_band < 0 || m_object < 0)
        return;
    beginChange();
    ReportObject &o = m_template.bands[m_band].objects[m_object];
    if (o.centerInBand && dx != 0) {
        // Moving sideways releases an object from the middle of the band.
        o.rect.moveLeft((m_template.page.contentSizePx().width() - o.rect.width()) / 2);
        o.centerInBand = false;
    }
    o.rect.translate(dx, dy);
    afterChange();
}

void ReportDesigner::resizeSelected(double dw, double dh)
{
    if (m_band < 0 || m_object < 0)
        return;
    beginChange();
    QRectF &r = m_template.bands[m_band].objects[m_object].rect;
    r.setWidth(qMax(0.0, r.width() + dw));
    r.setHeight(qMax(0.0, r.height() + dh));
    afterChange();
}

void ReportDesigner::changeObject(const ReportObject &o)
{
    if (m_band < 0 || m_object < 0 || m_template.bands[m_band].objects[m_object] == o)
        return;
    beginChange();
    m_template.bands[m_band].objects[m_object] = o;
    afterChange();
}

void ReportDesigner::changeBand(const ReportBand &b)
{
    if (m_band < 0 || m_template.bands[m_band] == b)
        return;
    beginChange();
    const bool heightChanged = m_template.bands[m_band].height != b.height;
    m_template.bands[m_band] = b;
    if (heightChanged)
        restack();
    afterChange();
}

void ReportDesigner::changePage(const ReportPage &p)
{
    if (m_template.page == p)
        return;
    if (p.contentSizePx().width() <= 0 || p.contentSizePx().height() <= 0) {
        m_props->load();
        return;
    }
    beginChange();
    m_template.page = p;
    afterChange();
}

bool ReportDesigner::save()
{
    try {
        saveTemplateFile(m_path, m_template);
    } catch (const TemplateError &e) {
        showWarning(this, QStringLiteral("保存"), e.message());
        return false;
    }
    m_modified = false;
    return true;
}

void ReportDesigner::reject()
{
    if (m_modified && askYesNo(this, QStringLiteral("报表设计"), QStringLiteral("报表已修改，要保存吗？")) && !save())
        return;
    QDialog::reject();
}
