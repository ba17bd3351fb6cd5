#include "uListGoods.h"

#include "data/Interaction.h"
#include "uEditGoods.h"

#include <QTableView>
#include <memory>

namespace {
const QString kGoodsSql = QStringLiteral("select * from tb_goods where is_stop=0 and del=0");
const QString kSelect = QStringLiteral("select");
} // namespace

TfrmListGoods::TfrmListGoods(QWidget *parent)
    : TfrmListTree(QStringLiteral("货品"), QStringLiteral("frmListGoods"), kGoodsSql, parent)
{
    classTable = QStringLiteral("tb_goods_class");
    classSql = QStringLiteral("select * from tb_goods_class where is_stop=0 and del=0");
    classListSql = kGoodsSql;
    classDialogCaption = QStringLiteral("新增商品分类");
    classRenameCaption = QStringLiteral("修改货品分类");

    FDQuery1.setUpdateTable(QStringLiteral("tb_goods"));
    // The mark lives in the screen's rows only and starts off.
    FDQuery1.addClientField(kSelect, QMetaType::Bool, false);
    addClassLookups({QStringLiteral("class_name")});
    cxGrid1->setColumns({
        {.field = kSelect, .caption = QStringLiteral("选择"), .kind = EditorKind::Check},
        {.field = QStringLiteral("goods_no"), .caption = QStringLiteral("货号")},
        {.field = QStringLiteral("goods_name"), .caption = QStringLiteral("品名")},
        {.field = QStringLiteral("pym"), .caption = QStringLiteral("拼音码")},
        {.field = QStringLiteral("unit"), .caption = QStringLiteral("单位")},
        {.field = QStringLiteral("model"), .caption = QStringLiteral("型号")},
        {.field = QStringLiteral("specs"), .caption = QStringLiteral("规格")},
        {.field = QStringLiteral("class_name"), .caption = QStringLiteral("所属分类"), .kind = EditorKind::ReadOnly},
        {.field = QStringLiteral("create_date"), .caption = QStringLiteral("创建日期"), .kind = EditorKind::ReadOnly},
        {.field = QStringLiteral("is_stop"), .caption = QStringLiteral("停用"), .kind = EditorKind::Check},
    });
    setNameField(QStringLiteral("goods_name"));
    showSelectColumn();
}

void TfrmListGoods::setselectmode(bool on)
{
    TfrmListTree::setselectmode(on);
    showSelectColumn();
}

void TfrmListGoods::showSelectColumn()
{
    cxGrid1->table()->setColumnHidden(cxGrid1->columnOf(kSelect), !selectmode());
}

void TfrmListGoods::showEvent(QShowEvent *event)
{
    TfrmListTree::showEvent(event);
    // A saved layout must not show the marks outside the picker, nor hide them in it.
    showSelectColumn();
}

void TfrmListGoods::FDQuery1NewRecord()
{
    TfrmListTree::FDQuery1NewRecord();
    FDQuery1.setValue(QStringLiteral("class_id"), FDQuery2.value(QStringLiteral("id")));
}

bool TfrmListGoods::FDQuery1BeforePost()
{
    if (refuseEmpty(QStringLiteral("goods_name"), QStringLiteral("请输入货品名称!")))
        return false;
    updatePinyin(QStringLiteral("goods_name"));
    return true;
}

void TfrmListGoods::cxGrid1DblClick(int row)
{
    // In the picker a double-click ticks or unticks the row; it needs no right, since nothing is stored.
    if (selectmode())
        FDQuery1.setClientValue(row, kSelect, !FDQuery1.valueAt(row, kSelect).toBool());
}

QList<int> TfrmListGoods::checkedRows() const
{
    QList<int> rows;
    for (int row = 0; row < FDQuery1.recordCount(); ++row)
        if (FDQuery1.valueAt(row, kSelect).toBool())
            rows << row;
    return rows;
}

TfrmListGoods::Choice TfrmListGoods::choiceAt(int row) const
{
    Choice c;
    c.id = FDQuery1.valueAt(row, QStringLiteral("id")).toInt();
    c.goods_no = FDQuery1.valueAt(row, QStringLiteral("goods_no")).toString();
    c.goods_name = FDQuery1.valueAt(row, QStringLiteral("goods_name")).toString();
    c.unit = FDQuery1.valueAt(row, QStringLiteral("unit")).toString();
    c.model = FDQuery1.valueAt(row, QStringLiteral("model")).toString();
    c.specs = FDQuery1.valueAt(row, QStringLiteral("specs")).toString();
    return c;
}

namespace {
std::unique_ptr<TfrmListGoods> runPicker(QWidget *owner, bool &accepted)
{
    auto picker = std::make_unique<TfrmListGoods>(owner);
    picker->setselectmode(true);
    picker->resize(1200, 800);
    accepted = interaction().runModal(picker.get()) == QDialog::Accepted;
    return picker;
}
} // namespace

std::optional<TfrmListGoods::Choice> TfrmListGoods::pickOne(QWidget *owner)
{
    bool accepted = false;
    auto picker = runPicker(owner, accepted);
    if (!accepted || picker->selectId() == 0)
        return std::nullopt;
    return picker->choiceAt(picker->FDQuery1.recNo());
}

QList<TfrmListGoods::Choice> TfrmListGoods::pickMany(QWidget *owner)
{
    bool accepted = false;
    auto picker = runPicker(owner, accepted);
    QList<Choice> chosen;
    if (!accepted)
        return chosen;
    for (int row : picker->checkedRows())
        chosen << picker->choiceAt(row);
    return chosen;
}

TfrmRecordEdit *TfrmListGoods::createRecordDialog(bool forNewRow)
{
    auto *dialog = new TfrmEditGoods(this);
    dialog->setWindowTitle(forNewRow ? QStringLiteral("新增货品") : QStringLiteral("修改货品"));
    return dialog;
}
