#include "DbConnection.h"

#include "DbError.h"
#include "Interaction.h"
#include "dbconfig.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>

namespace {

// Client error numbers that mean the server connection is gone.
bool isConnectionLost(const QSqlError &error)
{
    static const QStringList codes{QStringLiteral("2006"), QStringLiteral("2013"), QStringLiteral("2055"),
                                   QStringLiteral("1927"), QStringLiteral("4031")};
    return codes.contains(error.nativeErrorCode());
}

QString errorText(const QSqlError &error)
{
    QString text = error.databaseText();
    if (text.isEmpty())
        text = error.driverText();
    return text;
}

} // namespace

ConnectionSettings ConnectionSettings::fixed()
{
    ConnectionSettings s;
    s.host = QString::fromLatin1(ck::config::kDbHost);
    s.port = ck::config::kDbPort;
    s.user = QStringLiteral("pc_client");
    s.password = QString::fromLatin1(ck::config::kDbPassword);
    s.database = QStringLiteral("ck_db");
    return s;
}

DbConnection::DbConnection(const QString &connectionName) : m_name(connectionName)
{
    QSqlDatabase::addDatabase(QStringLiteral("QMYSQL"), m_name);
}

DbConnection::~DbConnection()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
}

void DbConnection::configure(const ConnectionSettings &s)
{
    QSqlDatabase db = database();
    if (db.isOpen())
        db.close();
    db.setConnectOptions();
    db.setHostName(s.host);
    db.setPort(s.port);
    db.setUserName(s.user);
    db.setPassword(s.password);
    db.setDatabaseName(s.database);
    // utf8mb4 is the full Unicode form of the "utf8" character set; timeouts keep
    // a dead server from freezing the window for long.
    db.setConnectOptions(QStringLiteral("MYSQL_OPT_CONNECT_TIMEOUT=5;MYSQL_OPT_READ_TIMEOUT=600;"
                                        "MYSQL_OPT_WRITE_TIMEOUT=600"));
}

QSqlDatabase DbConnection::database() const { return QSqlDatabase::database(m_name, false); }

bool DbConnection::isOpen() const { return database().isOpen(); }

void DbConnection::open()
{
    QSqlDatabase db = database();
    if (!db.open())
        throw DbError(errorText(db.lastError()), QStringLiteral("connect"), db.lastError().nativeErrorCode());
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SET NAMES utf8mb4")))
        fail(q.lastError(), QStringLiteral("SET NAMES utf8mb4"));
    m_inTransaction = false;
    m_lost = false;
}

void DbConnection::close()
{
    QSqlDatabase db = database();
    if (db.isOpen())
        db.close();
    m_inTransaction = false;
    m_lost = false;
}

void DbConnection::fail(const QSqlError &error, const QString &where) const
{
    throw DbError(errorText(error), where, error.nativeErrorCode());
}

QSqlQuery DbConnection::run(const QString &sql, const QVariantList &binds, bool &lostConnection)
{
    QSqlQuery q(database());
    q.setForwardOnly(true);
    q.setNumericalPrecisionPolicy(QSql::LowPrecisionDouble);
    bool ok;
    if (binds.isEmpty()) {
        ok = q.exec(sql);
    } else {
        ok = q.prepare(sql);
        if (ok) {
            for (const QVariant &v : binds)
                q.addBindValue(v);
            ok = q.exec();
        }
    }
    lostConnection = !ok && isConnectionLost(q.lastError());
    if (!ok && !lostConnection)
        fail(q.lastError(), sql);
    return q;
}

void DbConnection::reconnect()
{
    QSqlDatabase db = database();
    db.close();
    m_inTransaction = false;
    m_lost = true;
    if (!db.open())
        throw DbError(QStringLiteral("与数据库服务器的连接已断开，重新连接失败：%1").arg(errorText(db.lastError())),
                      QStringLiteral("reconnect"), db.lastError().nativeErrorCode());
    m_lost = false;
    QSqlQuery q(db);
    q.exec(QStringLiteral("SET NAMES utf8mb4"));
    if (m_onReconnect)
        m_onReconnect();
}

QSqlQuery DbConnection::exec(const QString &sql, Kind kind, const QVariantList &binds)
{
    WaitCursor busy;
    if (!isOpen()) {
        if (!m_lost)
            throw DbError(QStringLiteral("没有连接到数据库服务器。"), sql);
        reconnect();
    }
    bool lost = false;
    QSqlQuery q = run(sql, binds, lost);
    if (!lost)
        return q;

    // The statement did not run to an answer: never repeat a write, and never
    // continue a transaction the server has already rolled back.
    const bool wasInTransaction = m_inTransaction;
    reconnect();
    if (kind == Kind::Read && !wasInTransaction) {
        q = run(sql, binds, lost);
        if (!lost)
            return q;
    }
    throw DbError(QStringLiteral("与数据库服务器的连接曾中断，已重新连接；本次操作没有完成，请重新操作。"), sql);
}

void DbConnection::beginTransaction()
{
    exec(QStringLiteral("START TRANSACTION"));
    m_inTransaction = true;
}

void DbConnection::commit()
{
    exec(QStringLiteral("COMMIT"));
    m_inTransaction = false;
}

void DbConnection::rollback()
{
    // A rollback on a connection that was lost has nothing left to undo.
    m_inTransaction = false;
    QSqlQuery q(database());
    q.exec(QStringLiteral("ROLLBACK"));
}

QString DbConnection::quote(const QString &text) const
{
    QSqlField field(QStringLiteral("v"), QMetaType(QMetaType::QString));
    field.setValue(text);
    return database().driver()->formatValue(field);
}

int DbConnection::serverConnectionId()
{
    QSqlQuery q = read(QStringLiteral("SELECT CONNECTION_ID()"));
    return q.next() ? q.value(0).toInt() : 0;
}

TransactionGuard::~TransactionGuard()
{
    if (!m_done)
        m_db.rollback();
}

void TransactionGuard::commit()
{
    m_db.commit();
    m_done = true;
}
