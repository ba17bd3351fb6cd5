#include "uListStoreBegin.h"

#include "data/DbConnection.h"
#include "data/uFunction.h"
#include "data/udm.h"
#include "uListGoods.h"
#include "uListStore.h"

#include <QDateTime>

namespace {
const QString kDesignedSql = QStringLiteral(
    "select a.*, b.store_no,b.store_name,c.goods_no,c.goods_name,c.model,c.specs,c.unit,c.pym from tb_store_begin a \n"
    "left join tb_store b on (b.id=a.store_id)\n"
    "left join tb_goods c on (c.id=a.goods_id)\n"
    "where 1=1");
const QStringList kGoodsFields = {QStringLiteral("goods_no"), QStringLiteral("goods_name"), QStringLiteral("model"),
                                  QStringLiteral("specs"), QStringLiteral("unit")};
} // namespace

TfrmListStoreBegin::TfrmListStoreBegin(QWidget *parent)
    : TfrmBaseList(QStringLiteral("期初库存"), QStringLiteral("frmListStoreBegin"), kDesignedSql, parent),
      tbStore(FDQuery1.connection()), tbGoods(FDQuery1.connection()), fdQuery(FDQuery1.connection())
{
    FDQuery1.setUpdateTable(QStringLiteral("tb_store_begin"));
    FDQuery1.onFieldChanged = [this](Dataset &, const QString &name) { FDQuery1FieldChanged(name); };
    tbStore.setSql(QStringLiteral("select * from tb_store"));
    tbGoods.setSql(QStringLiteral("select * from tb_goods"));
    auto label = [](const char *field, const char *caption) {
        return GridColumn{.field = QString::fromLatin1(field), .caption = QString::fromUtf8(caption),
                          .kind = EditorKind::ReadOnly};
    };
    cxGrid1->setColumns({
        {.field = QStringLiteral("store_no"),
         .caption = QStringLiteral("仓库编号"),
         .kind = EditorKind::Ellipsis,
         .onButton = [this] { btnStoreClick(); },
         .onValidate = [this](const QString &text) { storeNoValidate(text); }},
        label("store_name", "仓库名称"),
        {.field = QStringLiteral("goods_no"),
         .caption = QStringLiteral("货号"),
         .kind = EditorKind::Ellipsis,
         .onButton = [this] { btnGoodsClick(); },
         .onValidate = [this](const QString &text) { goodsNoValidate(text); }},
        label("goods_name", "品名"),
        label("model", "型号"),
        label("specs", "规格"),
        label("unit", "单位"),
        {.field = QStringLiteral("quantity"), .caption = QStringLiteral("数量"), .kind = EditorKind::Number, .decimalsKind = 1},
        {.field = QStringLiteral("price"), .caption = QStringLiteral("单价"), .kind = EditorKind::Number, .decimalsKind = 2},
        {.field = QStringLiteral("amount"), .caption = QStringLiteral("金额"), .kind = EditorKind::Number, .decimalsKind = 3,
         .readOnly = true},
        {.field = QStringLiteral("create_date"), .caption = QStringLiteral("创建时间"), .kind = EditorKind::DateTime},
    });
    cxGrid1->setAutoWidth(true);
    setNameField(QStringLiteral("goods_name"));
}

void TfrmListStoreBegin::opendata()
{
    FDQuery1.setSql(mainSql);
    FDQuery1.open();
}

void TfrmListStoreBegin::FDQuery1NewRecord()
{
    TfrmBaseList::FDQuery1NewRecord();
    FDQuery1.setValue(QStringLiteral("is_stop"), false);
    FDQuery1.setValue(QStringLiteral("create_date"), QDateTime::currentDateTime());
    FDQuery1.setValue(QStringLiteral("store_id"), storeID);
    FDQuery1.setValue(QStringLiteral("store_no"), storeNo);
    FDQuery1.setValue(QStringLiteral("store_name"), storeName);
}

void TfrmListStoreBegin::FDQuery1FieldChanged(const QString &fieldName)
{
    if (fieldName != QLatin1String("quantity") && fieldName != QLatin1String("price"))
        return;
    const double amount =
        FDQuery1.value(QStringLiteral("price")).toDouble() * FDQuery1.value(QStringLiteral("quantity")).toDouble();
    const QVariant present = FDQuery1.value(QStringLiteral("amount"));
    if (present.isNull() || present.toDouble() != amount)
        FDQuery1.setValue(QStringLiteral("amount"), amount);
}

void TfrmListStoreBegin::takeStore(int id, const QString &no, const QString &name)
{
    if (!FDQuery1.edit())
        return;
    FDQuery1.setValue(QStringLiteral("store_id"), id);
    FDQuery1.setValue(QStringLiteral("store_no"), no);
    FDQuery1.setValue(QStringLiteral("store_name"), name);
}

void TfrmListStoreBegin::btnStoreClick()
{
    if (FDQuery1.recNo() < 0)
        return;
    if (const auto choice = TfrmListStore::pick(this))
        takeStore(choice->id, choice->store_no, choice->store_name);
}

void TfrmListStoreBegin::storeNoValidate(const QString &typed)
{
    // Stopped and deleted warehouses are found too: the number names the warehouse, whatever its state.
    tbStore.setSql(QStringLiteral("select * from tb_store where store_no=") + tbStore.connection().quote(typed));
    tbStore.open();
    if (tbStore.isEmpty()) {
        showInfo(this, QStringLiteral("错误"), QStringLiteral("请输入正确仓库编号!"));
        return;
    }
    // The following new rows start here, even when this row is cancelled.
    storeID = tbStore.value(QStringLiteral("id")).toInt();
    storeNo = tbStore.value(QStringLiteral("store_no")).toString();
    storeName = tbStore.value(QStringLiteral("store_name")).toString();
    takeStore(storeID, storeNo, storeName);
}

void TfrmListStoreBegin::takeGoods(const Dataset &source)
{
    if (!FDQuery1.edit())
        return;
    FDQuery1.setValue(QStringLiteral("goods_id"), source.value(QStringLiteral("id")));
    for (const QString &field : kGoodsFields)
        FDQuery1.setValue(field, source.value(field));
}

void TfrmListStoreBegin::btnGoodsClick()
{
    if (FDQuery1.recNo() < 0)
        return;
    const auto choice = TfrmListGoods::pickOne(this);
    if (!choice || !FDQuery1.edit())
        return;
    FDQuery1.setValue(QStringLiteral("goods_id"), choice->id);
    FDQuery1.setValue(QStringLiteral("goods_no"), choice->goods_no);
    FDQuery1.setValue(QStringLiteral("goods_name"), choice->goods_name);
    FDQuery1.setValue(QStringLiteral("unit"), choice->unit);
    FDQuery1.setValue(QStringLiteral("model"), choice->model);
    FDQuery1.setValue(QStringLiteral("specs"), choice->specs);
}

void TfrmListStoreBegin::goodsNoValidate(const QString &typed)
{
    // Stopped and deleted goods are found too; of several with one number the first is taken.
    tbGoods.setSql(QStringLiteral("select * from tb_goods where goods_no=") + tbGoods.connection().quote(typed));
    tbGoods.open();
    if (tbGoods.isEmpty()) {
        showInfo(this, QStringLiteral("错误"), QStringLiteral("请输入正确货物编号!"));
        return;
    }
    takeGoods(tbGoods);
}

bool TfrmListStoreBegin::isDuplicate()
{
    // A saved row is not its own duplicate; a new row has no id yet.
    fdQuery.setSql(QStringLiteral("select * from tb_store_begin where store_id=%1 and goods_id=%2 and id<>%3")
                       .arg(FDQuery1.value(QStringLiteral("store_id")).toInt())
                       .arg(FDQuery1.value(QStringLiteral("goods_id")).toInt())
                       .arg(FDQuery1.value(QStringLiteral("id")).toInt()));
    fdQuery.open();
    const bool found = !fdQuery.isEmpty();
    fdQuery.close();
    return found;
}

bool TfrmListStoreBegin::FDQuery1BeforePost()
{
    if (refuseEmpty(QStringLiteral("store_id"), QStringLiteral("请输入仓库!")))
        return false;
    if (refuseEmpty(QStringLiteral("goods_id"), QStringLiteral("请输入货品!")))
        return false;
    if (isDuplicate()) {
        showWarning(this, QStringLiteral("保存"), QStringLiteral("请不要重复输入货品!"));
        return false;
    }
    const TfrmDM &module = dm();
    // Rounding the quantity and the price works the amount out again from the rounded values.
    FDQuery1.setValue(QStringLiteral("quantity"), module.formatFloat(FDQuery1.value(QStringLiteral("quantity")).toDouble(), 1));
    FDQuery1.setValue(QStringLiteral("price"), module.formatFloat(FDQuery1.value(QStringLiteral("price")).toDouble(), 2));
    FDQuery1.setValue(QStringLiteral("amount"), module.formatFloat(FDQuery1.value(QStringLiteral("amount")).toDouble(), 3));
    storeID = FDQuery1.value(QStringLiteral("store_id")).toInt();
    storeNo = FDQuery1.value(QStringLiteral("store_no")).toString();
    storeName = FDQuery1.value(QStringLiteral("store_name")).toString();
    return true;
}

void TfrmListStoreBegin::deleteCurrentRow()
{
    TfrmBaseList::deleteCurrentRow();
    // Opening stock keeps no deleted rows: whatever is marked leaves the table.
    dm().execSQL(QStringLiteral("delete from tb_store_begin where del=1"));
    FDQuery1.refresh();
}
