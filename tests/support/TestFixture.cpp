#include "TestFixture.h"

#include "data/DbError.h"

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QtTest>

namespace {

QString env(const char *name, const QString &fallback = {})
{
    const QString v = qEnvironmentVariable(name);
    return v.isEmpty() ? fallback : v;
}

} // namespace

ConnectionSettings TestFixture::settings(const QString &database)
{
    ConnectionSettings s = ConnectionSettings::fixed();
    s.host = env("CK_TEST_HOST", s.host);
    s.port = env("CK_TEST_PORT", QString::number(s.port)).toInt();
    s.database = database;
    return s;
}

QString TestFixture::databaseName()
{
    return QStringLiteral("ck_t_") + env("CK_TEST_NAME", QStringLiteral("default")).toLower();
}

void TestFixture::loadDatabase(const QString &database)
{
    QProcess p;
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    e.insert(QStringLiteral("CK_DB_DIR"), env("CK_TEST_DB_DIR"));
    e.insert(QStringLiteral("CK_DB_PORT"), env("CK_TEST_PORT"));
    p.setProcessEnvironment(e);
    p.start(QStringLiteral(CK_SOURCE_DIR "/scripts/db"), {QStringLiteral("load"), database});
    if (!p.waitForFinished(120000) || p.exitCode() != 0)
        qFatal("could not load the test database %s: %s", qPrintable(database),
               qPrintable(QString::fromLocal8Bit(p.readAllStandardError() + p.readAllStandardOutput())));
}

TestFixture::TestFixture()
{
    if (env("CK_TEST_DB_DIR").isEmpty())
        qFatal("CK_TEST_DB_DIR is not set: run the tests through scripts/test");
    if (!m_workDir.isValid())
        qFatal("no temporary working folder");
    m_previousDir = QDir::currentPath();
    QDir::setCurrent(m_workDir.path());
    auto ui = std::make_unique<ScriptedInteraction>();
    m_ui = ui.get();
    setInteraction(std::move(ui));
    reset();
}

TestFixture::~TestFixture()
{
    m_dm.reset();
    setInteraction(nullptr);
    QDir::setCurrent(m_previousDir);
}

void TestFixture::checkNoUnexpectedDialogs() const
{
    QVERIFY2(m_ui->unexpected.isEmpty(), qPrintable(m_ui->unexpected.join(QLatin1Char('\n'))));
}

void TestFixture::reset()
{
    m_dm.reset();
    loadDatabase();
    m_ui->clear();
    m_dm = std::make_unique<TfrmDM>(settings());
    if (!m_ui->messages.isEmpty())
        qFatal("the data module did not start: %s", qPrintable(m_ui->texts().join(QLatin1Char('\n'))));
    loginAs(QStringLiteral("管理员"));
}

void TestFixture::loginAs(const QString &employeeName)
{
    QSqlQuery q = db().read(QStringLiteral("select a.*,b.role_no,b.role_name,c.emp_no,c.emp_name from tb_user a "
                                           "LEFT JOIN tb_role b on (a.role_id=b.id) left join tb_employee c on "
                                           "(a.emp_id=c.id) where a.del=0 and c.emp_name=?"),
                            {employeeName});
    if (!q.next())
        qFatal("no user for employee %s", qPrintable(employeeName));
    TUser u;
    u.role_id = q.value(QStringLiteral("role_id")).toInt();
    u.role_name = q.value(QStringLiteral("role_name")).toString();
    u.emp_id = q.value(QStringLiteral("emp_id")).toInt();
    u.name = q.value(QStringLiteral("emp_name")).toString();
    u.isSuper = u.role_id == 1;
    m_dm->user = u;
    m_dm->loadRoleRights(u.role_id);
}

QStringList TestFixture::rows(DbConnection &db, const QString &sql)
{
    const auto text = [](const QVariant &v) {
        if (v.isNull())
            return QStringLiteral("-");
        bool number = false;
        const double d = v.toString().toDouble(&number);
        return number ? QString::number(d, 'g', 15) : v.toString();
    };
    QStringList out;
    QSqlQuery q = db.read(sql);
    while (q.next()) {
        QStringList cells;
        for (int i = 0; i < q.record().count(); ++i)
            cells << text(q.value(i));
        out << cells.join(QLatin1Char(' '));
    }
    return out;
}

QVariant TestFixture::scalar(const QString &sql)
{
    QSqlQuery q = db().read(sql);
    return q.next() ? q.value(0) : QVariant();
}
