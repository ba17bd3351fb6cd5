#include "uEditGoods.h"

#include "data/UnitConverionPy.h"
#include "data/uFunction.h"
#include "frames/PropertyGrid.h"

#include <QVBoxLayout>

TfrmEditGoods::TfrmEditGoods(QWidget *parent) : TfrmRecordEdit(parent), FDUnit(FDQuery1.connection())
{
    mainSql = QStringLiteral("select  a.*,b.class_name from tb_goods a\n"
                             "LEFT JOIN tb_goods_class b on (b.id=a.class_id)\n"
                             "where 1=1");
    FDQuery1.setUpdateTable(QStringLiteral("tb_goods"));
    FDQuery1.beforePost = [this](Dataset &) { return FDQuery1BeforePost(); };
    FDClass.setSql(QStringLiteral("select * from tb_goods_class"));
    FDUnit.setSql(QStringLiteral("select * from tb_unit"));

    // The grid moves to the next row on Enter by itself.
    setKeyPreview(false);
    cxDBVerticalGrid1 = new PropertyGrid(Panel2);
    cxDBVerticalGrid1->setCategories({
        {QStringLiteral("基本资料"),
         {{.field = QStringLiteral("goods_no"), .caption = QStringLiteral("货号"), .maxLength = 20},
          {.field = QStringLiteral("goods_name"), .caption = QStringLiteral("货名"), .maxLength = 50},
          {.field = QStringLiteral("class_name"), .caption = QStringLiteral("分类"), .kind = EditorKind::Ellipsis,
           .onButton = [this] { showClassPickerBelow(cxDBVerticalGrid1->editor(QStringLiteral("class_name"))->parentWidget()); }},
          {.field = QStringLiteral("barcode"), .caption = QStringLiteral("条码"), .maxLength = 30},
          {.field = QStringLiteral("unit"), .caption = QStringLiteral("单位"), .kind = EditorKind::DropDown,
           .maxLength = 10},
          {.field = QStringLiteral("memo"), .caption = QStringLiteral("备注"), .maxLength = 255}}},
        {QStringLiteral("价格"),
         {{.field = QStringLiteral("in_price"), .caption = QStringLiteral("入库价"), .kind = EditorKind::Number},
          {.field = QStringLiteral("out_price"), .caption = QStringLiteral("出库价"), .kind = EditorKind::Number},
          {.field = QStringLiteral("price"), .caption = QStringLiteral("成本价"), .kind = EditorKind::Number}}},
        {QStringLiteral("型号规格"),
         {{.field = QStringLiteral("model"), .caption = QStringLiteral("型号"), .maxLength = 50},
          {.field = QStringLiteral("specs"), .caption = QStringLiteral("规格"), .maxLength = 50}}},
        {QStringLiteral("库存控制"),
         {{.field = QStringLiteral("high_limit"), .caption = QStringLiteral("最高库存"), .kind = EditorKind::Number},
          {.field = QStringLiteral("low_limit"), .caption = QStringLiteral("最低库存"), .kind = EditorKind::Number}}},
        {QStringLiteral("系统"),
         {{.field = QStringLiteral("create_date"), .caption = QStringLiteral("创建时间"), .kind = EditorKind::DateTime},
          {.field = QStringLiteral("is_stop"), .caption = QStringLiteral("停用"), .kind = EditorKind::Check},
          {.field = QStringLiteral("pym"), .caption = QStringLiteral("拼音码"), .maxLength = 50}}},
    });
    cxDBVerticalGrid1->setDataset(&FDQuery1);
    auto *layout = new QVBoxLayout(Panel2);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(cxDBVerticalGrid1);
    setFixedSize(440, sizeHint().height()); // every row in sight, no scrolling
}

void TfrmEditGoods::openData()
{
    TfrmRecordEdit::openData();
    FDUnit.open();
    QStringList units;
    for (int row = 0; row < FDUnit.recordCount(); ++row)
        units << FDUnit.valueAt(row, QStringLiteral("unit_name")).toString();
    cxDBVerticalGrid1->setItems(QStringLiteral("unit"), units);
}

void TfrmEditGoods::showEvent(QShowEvent *event)
{
    TfrmRecordEdit::showEvent(event);
    cxDBVerticalGrid1->focusRow(QStringLiteral("goods_no"));
}

bool TfrmEditGoods::FDQuery1BeforePost()
{
    const QString name = FDQuery1.value(QStringLiteral("goods_name")).toString();
    if (name.isEmpty()) {
        showWarning(this, QStringLiteral("保存"), QStringLiteral("请输入货品名称!"));
        cxDBVerticalGrid1->focusRow(QStringLiteral("goods_name"));
        return false;
    }
    FDQuery1.setValue(QStringLiteral("pym"), getPinyinCode(name));
    return true;
}
