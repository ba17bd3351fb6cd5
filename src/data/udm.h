#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <optional>

#include "Dataset.h"
#include "DbConnection.h"

// The logged-in user.
struct TUser {
    int role_id = 0;
    QString role_name;
    int emp_id = 0;
    QString name;
    bool isSuper = false;
};

// The data module: owns the program's one database connection, the company
// settings, the logged-in user with the rights of that user's role, the
// operation log writer and the per-connection temporary tables.
class TfrmDM : public QObject {
    Q_OBJECT
public:
    explicit TfrmDM(const ConnectionSettings &settings = ConnectionSettings::fixed(), QObject *parent = nullptr);
    ~TfrmDM() override;

    // The single instance (created at start-up).
    static TfrmDM &instance();
    static bool exists();

    void DataModuleCreate();
    void DataModuleDestroy();

    void getCompanyInfo();
    void initStoreGoods();
    void execSQL(const QString &sql);
    double formatFloat(double val, int flag) const;
    void writeLog(const QString &module, const QString &action);
    bool checkUserRight(const QString &module, const QString &rightName) const;
    // Runs the login dialog; true when it was closed with OK.
    bool doLogin();

    // Loads the rights rows of a role (at login).
    void loadRoleRights(int roleId);
    // The login dialog is built by the application layer, which registers how to run it.
    void setLoginRunner(std::function<bool()> runner) { m_loginRunner = std::move(runner); }

    // Bill numbers, class codes, default prices and stock (udm_numbering.cpp).
    // The next number of a bill kind on a day, reserved at once in tb_bill_no.
    QString getBillNo(int sign, const QDateTime &adate);
    // The code of a new child class: the parent's code and the next free three-digit sequence.
    QString getMaxCode(int parentId, const QString &parentCode, const QString &tableName);
    // Default unit price of a new bill line.
    double getPrice(int sign, int storeId, int goodsId);
    // Stock quantity and value of a goods in a store (0 and 0 when it never moved).
    void getGoodsStore(int storeId, int goodsId, double &quantity, double &amount);

    bool isConnected() const { return FDConnection1.isOpen(); }

    DbConnection FDConnection1;
    Dataset fdCompany;
    Dataset FDRoleRight;
    Dataset user_log;
    Dataset FDQuery1;
    Dataset fdHeart;
    QTimer Timer1;
    std::optional<TUser> user;

public slots:
    void Timer1Timer();

private:
    ConnectionSettings m_settings;
    std::function<bool()> m_loginRunner;
};
