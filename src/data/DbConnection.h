#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <functional>

struct ConnectionSettings {
    QString host;
    int port = 3306;
    QString user;
    QString password;
    QString database;

    // The settings compiled into the program.
    static ConnectionSettings fixed();
};

// Owns the program's one database connection. Every statement of the program
// runs through exec(), which turns failures into DbError and survives a
// dropped connection: it reconnects once, lets the owner restore per-connection
// state (temporary tables), and repeats the statement when it only reads.
class DbConnection {
public:
    enum class Kind { Read, Write };

    explicit DbConnection(const QString &connectionName);
    ~DbConnection();
    DbConnection(const DbConnection &) = delete;
    DbConnection &operator=(const DbConnection &) = delete;

    // Clears whatever was configured before and applies these settings.
    void configure(const ConnectionSettings &settings);
    void open();
    void close();
    bool isOpen() const;
    QSqlDatabase database() const;

    // Runs after a successful reconnect, before a read is repeated.
    void setOnReconnect(std::function<void()> fn) { m_onReconnect = std::move(fn); }

    // Runs one statement. `binds` are positional values for '?' placeholders.
    QSqlQuery exec(const QString &sql, Kind kind = Kind::Write, const QVariantList &binds = {});
    QSqlQuery read(const QString &sql, const QVariantList &binds = {}) { return exec(sql, Kind::Read, binds); }

    void beginTransaction();
    void commit();
    void rollback();
    bool inTransaction() const { return m_inTransaction; }

    // A value typed by a person, written as an SQL literal the server reads
    // back unchanged (quotes and escapes done by the driver).
    QString quote(const QString &text) const;

    int serverConnectionId();

private:
    QSqlQuery run(const QString &sql, const QVariantList &binds, bool &lostConnection);
    void reconnect();
    [[noreturn]] void fail(const QSqlError &error, const QString &where) const;

    QString m_name;
    bool m_inTransaction = false;
    // The connection was lost and could not be reopened yet: the next
    // statement tries again instead of failing for the rest of the run.
    bool m_lost = false;
    std::function<void()> m_onReconnect;
};

// Rolls back when it leaves scope without commit(), including by an exception.
class TransactionGuard {
public:
    explicit TransactionGuard(DbConnection &db) : m_db(db) { m_db.beginTransaction(); }
    ~TransactionGuard();
    void commit();
    TransactionGuard(const TransactionGuard &) = delete;
    TransactionGuard &operator=(const TransactionGuard &) = delete;

private:
    DbConnection &m_db;
    bool m_done = false;
};
