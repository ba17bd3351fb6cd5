#include "ActionTable.h"

namespace {

ActionDef tab(const char *name, const QString &caption, const QString &icon = {}) {
    return {QString::fromUtf8(name), caption, ActionKind::Tab, true, icon};
}

QString icon(const char *file) {
    return QStringLiteral(":/icons/") + QLatin1String(file) + QStringLiteral(".png");
}

QVector<ActionDef> buildTable() {
    QVector<ActionDef> t = {
        // Bills.
        tab("actCGYK", QStringLiteral("采购入库"), icon("list-add")),
        tab("actXSYK", QStringLiteral("销售退货")),
        tab("actSCYK", QStringLiteral("生产入库"), icon("system-installer")),
        tab("actLLYK", QStringLiteral("退料入库")),
        tab("actJHYK", QStringLiteral("借货入库")),
        tab("actHHYK", QStringLiteral("借出还入")),
        tab("actCGTK", QStringLiteral("采购退货")),
        tab("actXSCK", QStringLiteral("销售出库"), icon("list-remove")),
        tab("actSCCK", QStringLiteral("生产出库")),
        tab("actLLCK", QStringLiteral("领料出库"), icon("go-jump")),
        tab("actHHCK", QStringLiteral("借入还出")),
        tab("actJHCK", QStringLiteral("借货出库")),
        tab("actKCPD", QStringLiteral("库存盘点"), icon("accessories-calculator")),
        tab("actCKDB", QStringLiteral("仓库调拨"), icon("view-refresh")),
        // Reports and queries.
        tab("act查找单据", QStringLiteral("查找单据"), icon("system-search")),
        tab("act借进货品查询", QStringLiteral("借进货品查询")),
        tab("act借出货品查询", QStringLiteral("借出货品查询")),
        tab("act货品库存", QStringLiteral("货品库存表"), icon("x-office-spreadsheet")),
        tab("actRPStoreHZ", QStringLiteral("货品收发汇总表"), icon("utilities-system-monitor")),
        tab("actRPStoreMX", QStringLiteral("货品收发明细表"), icon("x-office-document")),
        tab("actRPGYSHZ", QStringLiteral("供应商采购汇总表")),
        tab("actRPGYSMX", QStringLiteral("供应商采购明细表")),
        tab("actRPCGHPHZ", QStringLiteral("货品采购汇总表")),
        tab("actRPCGHPMX", QStringLiteral("货品采购明细表")),
        tab("actRPKHXSHZ", QStringLiteral("客户销售汇总表")),
        tab("actRPKHXSMX", QStringLiteral("客户销售明细表")),
        tab("actRPHPXSHZ", QStringLiteral("货品销售汇总表")),
        tab("actRPXSHPMX", QStringLiteral("货品销售明细表")),
        tab("actRPDepartHZ", QStringLiteral("部门生产汇总表")),
        tab("actRPDepartMX", QStringLiteral("部门生产明细表")),
        tab("act生产产品汇总表", QStringLiteral("产品入库汇总表")),
        tab("act生产产品明细表", QStringLiteral("产品入库明细表")),
        tab("act部门领料汇总表", QStringLiteral("部门领料汇总表")),
        tab("act部门领料明细表", QStringLiteral("部门领料明细表")),
        tab("act货品领用汇总表", QStringLiteral("货品领用汇总表")),
        tab("act货品领用明细表", QStringLiteral("货品领用明细表")),
        tab("act货品库存报警", QStringLiteral("货品库存报警表"), icon("dialog-warning")),
        tab("act操作日志", QStringLiteral("操作日志")),
        // Master data and administration.
        tab("actStore", QStringLiteral("仓库")),
        tab("actPosition", QStringLiteral("货位")),
        tab("actDepart", QStringLiteral("部门")),
        tab("actEmployee", QStringLiteral("职员")),
        tab("actUnit", QStringLiteral("计量单位")),
        tab("actCompanyClass", QStringLiteral("往来单位")),
        tab("actGoods", QStringLiteral("货品")),
        tab("actStoreBegin", QStringLiteral("期初库存")),
        tab("actRole", QStringLiteral("用户角色")),
        tab("actUser", QStringLiteral("用户"), icon("system-users")),
        {QStringLiteral("actCompany"), QStringLiteral("公司信息"), ActionKind::Modal, true,
         icon("applications-office")},
        {QStringLiteral("act清除数据"), QStringLiteral("清除数据"), ActionKind::Modal, true, {}},
        {QStringLiteral("act关于"), QStringLiteral("关于本系统"), ActionKind::Modal, false,
         icon("help-browser")},
        {QStringLiteral("act作者网站"), QStringLiteral("访问作者网站"), ActionKind::Command, false,
         icon("internet-web-browser")},
        {QStringLiteral("actChangeUser"), QStringLiteral("更换用户"), ActionKind::Command, false,
         icon("system-users")},
        {QStringLiteral("actExit"), QStringLiteral("退出系统"), ActionKind::Command, false,
         icon("system-log-out")},
    };
    for (ActionDef &d : t)
        if (d.caption == QStringLiteral("货品库存报警表"))
            d.buttonCaption = QStringLiteral("库存报警");
    return t;
}

MenuNode sub(const QString &caption, const QStringList &items) {
    MenuNode n{caption};
    for (const QString &item : items)
        n.children.append(MenuNode{item});
    return n;
}

const QString kIn = QStringLiteral("入库登记");
const QString kOut = QStringLiteral("出库登记");
const QString kStock = QStringLiteral("仓库管理");
const QString kReports = QStringLiteral("报表查询");
const QString kMaster = QStringLiteral("基础资料");
const QString kSystem = QStringLiteral("系统设置");

const QStringList kInBills = {QStringLiteral("采购入库"), QStringLiteral("销售退货"),
                              QStringLiteral("生产入库"), QStringLiteral("退料入库"),
                              QStringLiteral("借货入库"), QStringLiteral("借出还入")};
const QStringList kOutBills = {QStringLiteral("采购退货"), QStringLiteral("销售出库"),
                               QStringLiteral("生产出库"), QStringLiteral("领料出库"),
                               QStringLiteral("借入还出"), QStringLiteral("借货出库")};
const QStringList kStockBills = {QStringLiteral("库存盘点"), QStringLiteral("仓库调拨")};
const QStringList kMasterData = {
    QStringLiteral("仓库"),     QStringLiteral("部门"), QStringLiteral("职员"),    QStringLiteral("计量单位"),
    QStringLiteral("往来单位"), QStringLiteral("货品"), QStringLiteral("期初库存")};

} // namespace

const QVector<ActionDef> &actionTable() {
    static const QVector<ActionDef> table = buildTable();
    return table;
}

const ActionDef *findActionByCaption(const QString &caption) {
    for (const ActionDef &d : actionTable())
        if (d.caption == caption)
            return &d;
    return nullptr;
}

const ActionDef *findAction(const QString &name) {
    for (const ActionDef &d : actionTable())
        if (d.name == name)
            return &d;
    return nullptr;
}

const QVector<MenuNode> &mainMenu() {
    static const QVector<MenuNode> menu = {
        sub(kSystem, {QStringLiteral("公司信息"), QStringLiteral("用户角色"), QStringLiteral("用户"),
                      QStringLiteral("清除数据")}),
        sub(kMaster, kMasterData),
        sub(kIn, kInBills),
        sub(kOut, kOutBills),
        sub(kStock, kStockBills),
        MenuNode{
            kReports,
            {MenuNode{QStringLiteral("查找单据")},
             sub(QStringLiteral("借进借出"),
                 {QStringLiteral("借进货品查询"), QStringLiteral("借出货品查询")}),
             sub(QStringLiteral("仓库报表"),
                 {QStringLiteral("货品库存表"), QStringLiteral("货品收发汇总表"),
                  QStringLiteral("货品收发明细表"), QStringLiteral("货品库存报警表")}),
             sub(QStringLiteral("采购报表"),
                 {QStringLiteral("供应商采购汇总表"), QStringLiteral("供应商采购明细表"), QStringLiteral("-"),
                  QStringLiteral("货品采购汇总表"), QStringLiteral("货品采购明细表")}),
             sub(QStringLiteral("销售报表"),
                 {QStringLiteral("客户销售汇总表"), QStringLiteral("客户销售明细表"), QStringLiteral("-"),
                  QStringLiteral("货品销售汇总表"), QStringLiteral("货品销售明细表")}),
             sub(QStringLiteral("产品报表"),
                 {QStringLiteral("部门生产汇总表"), QStringLiteral("部门生产明细表"), QStringLiteral("-"),
                  QStringLiteral("产品入库汇总表"), QStringLiteral("产品入库明细表")}),
             sub(QStringLiteral("领料报表"),
                 {QStringLiteral("部门领料汇总表"), QStringLiteral("部门领料明细表"), QStringLiteral("-"),
                  QStringLiteral("货品领用汇总表"), QStringLiteral("货品领用明细表")})}},
        sub(QStringLiteral("帮助 "), {QStringLiteral("关于本系统"), QStringLiteral("访问作者网站")}),
    };
    return menu;
}

const QVector<ActionGroup> &toolBars() {
    static const QVector<ActionGroup> bars = {
        {QStringLiteral("toolbar"),
         {QStringLiteral("采购入库"), QStringLiteral("生产入库"), QStringLiteral("销售出库"),
          QStringLiteral("领料出库"), QStringLiteral("库存盘点"), QStringLiteral("仓库调拨")}},
        {QStringLiteral("tbReport"),
         {QStringLiteral("查找单据"), QStringLiteral("货品库存表"), QStringLiteral("货品收发汇总表"),
          QStringLiteral("货品收发明细表"), QStringLiteral("货品库存报警表")}},
        {QStringLiteral("Custom 1"),
         {QStringLiteral("关于本系统"), QStringLiteral("更换用户"), QStringLiteral("退出系统")}},
    };
    return bars;
}

const QVector<ActionGroup> &navigationGroups() {
    static const QVector<ActionGroup> groups = {
        {kIn, kInBills, icon("go-down")},
        {kOut, kOutBills, icon("go-up")},
        {kStock, kStockBills, icon("package-x-generic")},
        {kReports,
         {QStringLiteral("查找单据"),         QStringLiteral("借进货品查询"),
          QStringLiteral("借出货品查询"),     QStringLiteral("货品库存表"),
          QStringLiteral("货品收发汇总表"),   QStringLiteral("货品收发明细表"),
          QStringLiteral("供应商采购汇总表"), QStringLiteral("供应商采购明细表"),
          QStringLiteral("货品采购汇总表"),   QStringLiteral("货品采购明细表"),
          QStringLiteral("客户销售汇总表"),   QStringLiteral("客户销售明细表"),
          QStringLiteral("货品销售汇总表"),   QStringLiteral("货品销售明细表"),
          QStringLiteral("部门生产汇总表"),   QStringLiteral("部门生产明细表"),
          QStringLiteral("产品入库汇总表"),   QStringLiteral("产品入库明细表"),
          QStringLiteral("部门领料汇总表"),   QStringLiteral("部门领料明细表"),
          QStringLiteral("货品领用汇总表"),   QStringLiteral("货品领用明细表"),
          QStringLiteral("货品库存报警表")},
         icon("x-office-spreadsheet")},
        {kMaster, kMasterData, icon("x-office-address-book")},
        {kSystem,
         {QStringLiteral("公司信息"), QStringLiteral("用户角色"), QStringLiteral("用户"),
          QStringLiteral("操作日志"), QStringLiteral("清除数据")},
         icon("preferences-system")},
    };
    return groups;
}

QString defaultNavigationGroup() {
    return kReports;
}
