#include "udm.h"

#include "DbError.h"
#include "uFunction.h"

#include <QCoreApplication>
#include <QDateTime>

namespace {
TfrmDM *g_instance = nullptr;
QString nextConnectionName()
{
    static int n = 0;
    return QStringLiteral("ck_main_%1").arg(++n);
}
} // namespace

TfrmDM::TfrmDM(const ConnectionSettings &settings, QObject *parent)
    : QObject(parent), FDConnection1(nextConnectionName()), fdCompany(FDConnection1), FDRoleRight(FDConnection1),
      user_log(FDConnection1), FDQuery1(FDConnection1), fdHeart(FDConnection1), m_settings(settings)
{
    g_instance = this;
    fdCompany.setSql(QStringLiteral("select * from tb_company"));
    user_log.setSql(QStringLiteral("select * from tb_user_log where 1>2"));
    user_log.setUpdateTable(QStringLiteral("tb_user_log"));
    fdHeart.setSql(QStringLiteral("select 1"));
    FDConnection1.setOnReconnect([this] { initStoreGoods(); });

    Timer1.setInterval(60000);
    connect(&Timer1, &QTimer::timeout, this, &TfrmDM::Timer1Timer);
    Timer1.start();
    DataModuleCreate();
}

TfrmDM::~TfrmDM()
{
    DataModuleDestroy();
    if (g_instance == this)
        g_instance = nullptr;
}

TfrmDM &TfrmDM::instance()
{
    Q_ASSERT(g_instance);
    return *g_instance;
}

bool TfrmDM::exists() { return g_instance != nullptr; }

void TfrmDM::DataModuleCreate()
{
    QCoreApplication::addLibraryPath(getAppPath());
    FDConnection1.configure(m_settings);
    try {
        FDConnection1.open();
        getCompanyInfo();
        initStoreGoods();
        user_log.open();
    } catch (const DbError &e) {
        showWarning(nullptr, QStringLiteral("连接数据库"), e.message());
    }
}

void TfrmDM::DataModuleDestroy()
{
    Timer1.stop();
    FDConnection1.close();
}

void TfrmDM::getCompanyInfo()
{
    fdCompany.close();
    fdCompany.setSql(QStringLiteral("select * from tb_company"));
    fdCompany.open();
}

void TfrmDM::initStoreGoods()
{
    execSQL(QStringLiteral(
        "CREATE  temporary TABLE `temp_store_goods` (`id` int(11) NOT NULL AUTO_INCREMENT,`goods_id` int(11) "
        "DEFAULT NULL,`store_id` int(11) DEFAULT NULL,`quantity` decimal(20,10) DEFAULT NULL,`amount` "
        "decimal(20,10) DEFAULT NULL,PRIMARY KEY (`id`)) ENGINE=InnoDB AUTO_INCREMENT=103 DEFAULT CHARSET=utf8;"));
    execSQL(QStringLiteral(
        "CREATE temporary TABLE `temp_store_hz` ( `id` int(11) NOT NULL AUTO_INCREMENT, `goods_id` int(11) DEFAULT "
        "NULL,  `store_id` int(11) DEFAULT NULL,  `start_quantity` decimal(20,10) DEFAULT NULL,  `start_amount` "
        "decimal(20,10) DEFAULT NULL, `in_quantity` decimal(20,10) DEFAULT NULL, `in_amount` decimal(20,10) DEFAULT "
        "NULL,  `out_quantity` decimal(20,10) DEFAULT NULL,`end_quantity` decimal(20,10) DEFAULT NULL, `end_amount` "
        "decimal(20,10) DEFAULT NULL, `out_amount` decimal(20,10) DEFAULT NULL, `sign` int(11) DEFAULT NULL, "
        "PRIMARY KEY (`id`)  ) ENGINE=InnoDB AUTO_INCREMENT=703 DEFAULT CHARSET=utf8;"));
    execSQL(QStringLiteral(
        "CREATE temporary TABLE `temp_store_hz2` ( `id` int(11) NOT NULL AUTO_INCREMENT, `goods_id` int(11) DEFAULT "
        "NULL,  `store_id` int(11) DEFAULT NULL,  `start_quantity` decimal(20,10) DEFAULT NULL,  `start_amount` "
        "decimal(20,10) DEFAULT NULL, `in_quantity` decimal(20,10) DEFAULT NULL, `in_amount` decimal(20,10) DEFAULT "
        "NULL,  `out_quantity` decimal(20,10) DEFAULT NULL,`end_quantity` decimal(20,10) DEFAULT NULL, `end_amount` "
        "decimal(20,10) DEFAULT NULL, `out_amount` decimal(20,10) DEFAULT NULL, `sign` int(11) DEFAULT NULL, "
        "PRIMARY KEY (`id`)  ) ENGINE=InnoDB AUTO_INCREMENT=703 DEFAULT CHARSET=utf8;"));
}

void TfrmDM::execSQL(const QString &sql) { FDConnection1.exec(sql); }

double TfrmDM::formatFloat(double val, int flag) const
{
    int places = 0;
    if (fdCompany.isActive() && !fdCompany.isEmpty()) {
        switch (flag) {
        case 1:
            places = fdCompany.value(QStringLiteral("quantity_size")).toInt();
            break;
        case 2:
            places = fdCompany.value(QStringLiteral("price_size")).toInt();
            break;
        case 3:
            places = fdCompany.value(QStringLiteral("amount_size")).toInt();
            break;
        default:
            break;
        }
    }
    return roundFloat(places, val);
}

void TfrmDM::writeLog(const QString &module, const QString &action)
{
    if (!user_log.isActive())
        user_log.open();
    user_log.append();
    user_log.setValue(QStringLiteral("a_time"), QDateTime::currentDateTime());
    user_log.setValue(QStringLiteral("module"), module);
    user_log.setValue(QStringLiteral("action"), action);
    user_log.setValue(QStringLiteral("user_name"), user ? user->name : QString());
    user_log.post();
}

bool TfrmDM::checkUserRight(const QString &module, const QString &rightName) const
{
    if (user && user->isSuper)
        return true;
    if (!FDRoleRight.isActive() || !FDRoleRight.hasField(rightName))
        return false;
    for (int row = 0; row < FDRoleRight.recordCount(); ++row)
        if (FDRoleRight.valueAt(row, QStringLiteral("module")).toString() == module)
            return FDRoleRight.valueAt(row, rightName).toBool();
    return false;
}

void TfrmDM::loadRoleRights(int roleId)
{
    FDRoleRight.close();
    FDRoleRight.setSql(QStringLiteral("select * from tb_role_rights where role_id=%1").arg(roleId));
    FDRoleRight.open();
}

bool TfrmDM::doLogin() { return m_loginRunner ? m_loginRunner() : false; }

void TfrmDM::Timer1Timer()
{
    if (!FDConnection1.isOpen())
        return;
    fdHeart.close();
    fdHeart.setSql(QStringLiteral("select 1"));
    fdHeart.open();
}
