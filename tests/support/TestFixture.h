#pragma once

#include "ScriptedInteraction.h"
#include "data/DbConnection.h"
#include "data/udm.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>
#include <memory>

// Shared set-up of every test program: a database of its own (named after the
// program) loaded from database/*.sql on the server that scripts/test started,
// a data module connected to it, the scripted conversation service and a
// logged-in administrator. While it lives, the current directory is a
// temporary folder of its own, so layout files (store/) stay out of the tree.
class TestFixture {
public:
    // Settings of the test server for the given database.
    static ConnectionSettings settings(const QString &database = databaseName());
    static QString databaseName();
    // Drops and recreates a database from the project's SQL files.
    static void loadDatabase(const QString &database = databaseName());

    // Loads a fresh database, builds the data module and logs the administrator in.
    TestFixture();
    ~TestFixture();

    // Fresh database and data module, same conversation service (cleared).
    void reset();
    // Logs in as the user linked to the employee with this name, as the login dialog does.
    void loginAs(const QString &employeeName);

    TfrmDM &dm() { return *m_dm; }
    DbConnection &db() { return m_dm->FDConnection1; }
    ScriptedInteraction &ui() { return *m_ui; }

    // First column of the first row of a statement run on the data module's connection.
    QVariant scalar(const QString &sql);
    void exec(const QString &sql) { db().exec(sql); }

    // Every row of a result as one line "v1 v2 …": numbers (also numeric texts)
    // in their shortest form up to 15 digits, NULL as "-".
    static QStringList rows(DbConnection &db, const QString &sql);
    QStringList rows(const QString &sql) { return rows(db(), sql); }

    // A path in the temporary working folder.
    QString workPath(const QString &relative = {}) const { return m_workDir.filePath(relative); }
    // Fails the running test when a question, file dialog or modal dialog came unscripted.
    void checkNoUnexpectedDialogs() const;

private:
    QTemporaryDir m_workDir;
    QString m_previousDir;
    ScriptedInteraction *m_ui = nullptr;
    std::unique_ptr<TfrmDM> m_dm;
};
