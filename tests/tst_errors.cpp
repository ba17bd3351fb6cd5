// The general error display: an error that reaches the event loop is shown in
// one "错误" box with its message, and the program carries on.
#include "ScriptedInteraction.h"
#include "app/CkApplication.h"
#include "data/DbError.h"

#include <QPushButton>
#include <QTimer>
#include <QtTest>

class TestErrors : public QObject {
    Q_OBJECT
    ScriptedInteraction *ui = nullptr;

private slots:
    void initTestCase()
    {
        auto scripted = std::make_unique<ScriptedInteraction>();
        ui = scripted.get();
        setInteraction(std::move(scripted));
    }
    void cleanupTestCase() { setInteraction(nullptr); }
    void init() { ui->clear(); }

    void databaseErrorFromAClickIsShownOnce()
    {
        QPushButton button;
        connect(&button, &QPushButton::clicked, [] {
            throw DbError(QStringLiteral("Table 'ck_db.tb_x' doesn't exist"), QStringLiteral("select * from tb_x"));
        });
        QMetaObject::invokeMethod(&button, &QPushButton::click, Qt::QueuedConnection);
        QTRY_COMPARE(ui->texts(), QStringList{QStringLiteral("错误|Table 'ck_db.tb_x' doesn't exist")});
        QCOMPARE(ui->messages.first().kind, ScriptedInteraction::Kind::Warning);
    }

    void otherErrorsFromTimersAreShownToo()
    {
        QTimer::singleShot(0, [] { throw std::runtime_error("文件无法写入"); });
        QTRY_COMPARE(ui->texts(), QStringList{QStringLiteral("错误|文件无法写入")});
        // The loop keeps running afterwards.
        bool ran = false;
        QTimer::singleShot(0, [&] { ran = true; });
        QTRY_VERIFY(ran);
    }
};

int main(int argc, char **argv)
{
    CkApplication app(argc, argv);
    TestErrors test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_errors.moc"
