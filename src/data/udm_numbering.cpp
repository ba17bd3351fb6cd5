// Bill numbers, class codes, default line prices and the stock of one goods.
#include "udm.h"

#include "DbError.h"

#include <QSet>
#include <QSqlQuery>

namespace {

constexpr int kMaxSerial = 9999;
constexpr int kSequenceDigits = 3;
constexpr int kMaxSequence = 999;
constexpr int kClassCodeLength = 10; // width of class_no
const QString kDuplicateKey = QStringLiteral("1062");

QString billPrefix(int sign)
{
    switch (sign) {
    case 0: return QStringLiteral("CGYK");
    case 1: return QStringLiteral("XSTK");
    case 2: return QStringLiteral("SCYK");
    case 3: return QStringLiteral("TLYK");
    case 4: return QStringLiteral("JHYK");
    case 5: return QStringLiteral("HHYK");
    case 10: return QStringLiteral("CGTK");
    case 11: return QStringLiteral("XSCK");
    case 12: return QStringLiteral("SCCK");
    case 13: return QStringLiteral("LLCK");
    case 14: return QStringLiteral("JHTK");
    case 15: return QStringLiteral("JHCK");
    case 19: return QStringLiteral("CKDB");
    case 20: return QStringLiteral("KCPD");
    default: return {};
    }
}

QString likePrefix(QString text)
{
    text.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    text.replace(QLatin1Char('%'), QStringLiteral("\\%"));
    text.replace(QLatin1Char('_'), QStringLiteral("\\_"));
    return text + QLatin1Char('%');
}

} // namespace

QString TfrmDM::getBillNo(int sign, const QDateTime &adate)
{
    const QDate day = adate.date();
    FDQuery1.close();
    FDQuery1.setSql(QStringLiteral("select * from tb_bill_no where sign=%1 and bill_date='%2' order by id desc limit 1")
                        .arg(sign)
                        .arg(day.toString(QStringLiteral("yyyy-MM-dd"))));
    FDQuery1.open();
    int serial = 0;
    if (!FDQuery1.isEmpty()) {
        const QString lastNo = FDQuery1.value(QStringLiteral("bill_no")).toString();
        bool ok = false;
        serial = lastNo.right(4).toInt(&ok);
        if (!ok)
            throw DbError(QStringLiteral("单据号“%1”的最后四位不是数字，无法生成下一个单据号!").arg(lastNo),
                          QStringLiteral("getBillNo"));
    }

    // The unique key on bill_no settles a race with another client: whoever
    // loses takes the next serial.
    const QString stem = billPrefix(sign) + day.toString(QStringLiteral("yyyyMMdd"));
    while (++serial <= kMaxSerial) {
        const QString billNo = stem + QStringLiteral("%1").arg(serial, 4, 10, QLatin1Char('0'));
        try {
            FDConnection1.exec(QStringLiteral("insert into tb_bill_no (sign, bill_date, bill_no) values (?, ?, ?)"),
                               DbConnection::Kind::Write, {sign, day, billNo});
            return billNo;
        } catch (const DbError &e) {
            if (e.nativeCode() != kDuplicateKey)
                throw;
        }
    }
    throw DbError(QStringLiteral("%1 当天的单据号已用完（每天最多 %2 张），不能再新增单据!").arg(stem).arg(kMaxSerial),
                  QStringLiteral("getBillNo"));
}

QString TfrmDM::getMaxCode(int parentId, const QString &parentCode, const QString &tableName)
{
    static const QStringList classTables{QStringLiteral("tb_goods_class"), QStringLiteral("tb_customer_class")};
    if (!classTables.contains(tableName))
        throw DbError(QStringLiteral("“%1”不是分类表!").arg(tableName), QStringLiteral("getMaxCode"));
    const qsizetype codeLength = parentCode.size() + kSequenceDigits;
    if (codeLength > kClassCodeLength)
        throw DbError(QStringLiteral("分类编码最长 %1 位，分类“%2”下不能再增加下级分类!").arg(kClassCodeLength).arg(parentCode),
                      QStringLiteral("getMaxCode"));

    FDQuery1.close();
    FDQuery1.setSql(QStringLiteral("select count(id) from %1 where parent_id = %2").arg(tableName).arg(parentId));
    FDQuery1.open();
    const int first = FDQuery1.valueAt(0, FDQuery1.fields().first().name).toInt() + 1;

    // After a child was deleted the count falls behind the codes in use: take
    // the next sequence that no class carries yet.
    QSet<QString> used;
    QSqlQuery q = FDConnection1.read(
        QStringLiteral("select class_no from %1 where class_no like ? and char_length(class_no) = ?").arg(tableName),
        {likePrefix(parentCode), int(codeLength)});
    while (q.next())
        used.insert(q.value(0).toString());
    for (int step = 0; step < kMaxSequence; ++step) {
        const int sequence = (first - 1 + step) % kMaxSequence + 1;
        const QString code = parentCode + QStringLiteral("%1").arg(sequence, kSequenceDigits, 10, QLatin1Char('0'));
        if (!used.contains(code))
            return code;
    }
    throw DbError(QStringLiteral("分类“%1”下已有 %2 个下级分类，不能再增加!").arg(parentCode).arg(kMaxSequence),
                  QStringLiteral("getMaxCode"));
}

double TfrmDM::getPrice(int sign, int storeId, int goodsId)
{
    if (sign >= 10) {
        double quantity = 0;
        double amount = 0;
        getGoodsStore(storeId, goodsId, quantity, amount);
        return quantity != 0 ? formatFloat(amount / quantity, 2) : 0.0;
    }
    FDQuery1.close();
    FDQuery1.setSql(QStringLiteral("SELECT price from v_in_out_detail where goods_id=%1").arg(goodsId));
    FDQuery1.open();
    if (!FDQuery1.isEmpty())
        return FDQuery1.valueAt(0, QStringLiteral("price")).toDouble();
    FDQuery1.close();
    FDQuery1.setSql(QStringLiteral("SELECT in_price from tb_goods where id=%1").arg(goodsId));
    FDQuery1.open();
    return FDQuery1.isEmpty() ? 0.0 : FDQuery1.valueAt(0, QStringLiteral("in_price")).toDouble();
}

void TfrmDM::getGoodsStore(int storeId, int goodsId, double &quantity, double &amount)
{
    // The driver has no output parameters: the routine writes them into
    // session variables, read right after on the same connection.
    FDConnection1.exec(QStringLiteral("call sp_get_goods_store(?, ?, @ck_total_quantity, @ck_total_amount)"),
                       DbConnection::Kind::Write, {storeId, goodsId});
    QSqlQuery q = FDConnection1.read(QStringLiteral("select @ck_total_quantity, @ck_total_amount"));
    if (!q.next())
        throw DbError(QStringLiteral("库存查询没有返回结果!"), QStringLiteral("sp_get_goods_store"));
    quantity = q.value(0).toDouble();
    amount = q.value(1).toDouble();
}
