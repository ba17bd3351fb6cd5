// Company information: the row shown on both pages, edit state from typing,
// decimal places limited to 0-10, saving that applies the settings at once,
// a refused save that keeps the dialog open, and the main window's action.
#include "TestFixture.h"
#include "app/uMain.h"
#include "masterdata/uCompany.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QtTest>

class TestCompany : public QObject {
    Q_OBJECT
    std::unique_ptr<TestFixture> fx;

    QLineEdit *text(TfrmCompany &d, const QString &field) { return qobject_cast<QLineEdit *>(d.editorOf(field)); }

private slots:
    void initTestCase()
    {
        fx = std::make_unique<TestFixture>();
    }
    void cleanupTestCase() { fx.reset(); }
    void init() { fx->reset(); }
    void cleanup() { fx->checkNoUnexpectedDialogs(); }

    void showsTheRowOnBothPages()
    {
        fx->exec(QStringLiteral("update tb_company set contact='王五', price_size=4, KCPD_mark='PD'"));
        TfrmCompany d;
        d.show();
        QCOMPARE(d.windowTitle(), QStringLiteral("公司信息"));
        QCOMPARE(d.cxPageControl1->tabText(0), QStringLiteral("基础信息"));
        QCOMPARE(d.cxPageControl1->tabText(1), QStringLiteral("单据前缀"));
        QVERIFY(d.btnSaveNew->isHidden());
        QCOMPARE(d.edCompanyName->text(), QStringLiteral("我的公司"));
        QCOMPARE(text(d, QStringLiteral("contact"))->text(), QStringLiteral("王五"));
        QCOMPARE(d.edPriceSize->value(), 4);
        QCOMPARE(text(d, QStringLiteral("KCPD_mark"))->text(), QStringLiteral("PD"));
        QCOMPARE(text(d, QStringLiteral("CGYK_mark"))->text(), QStringLiteral("CGYK"));
        QCOMPARE(text(d, QStringLiteral("company_name"))->maxLength(), 50);
        QCOMPARE(text(d, QStringLiteral("CKDB_mark"))->maxLength(), 10);
        QCOMPARE(d.focusWidget(), d.edCompanyName);
        // Nothing typed yet: nothing to save.
        QVERIFY(!d.btnsave->isEnabled() && !d.btncancel->isEnabled());
        d.btnsaveClick();
        QVERIFY(fx->ui().texts().isEmpty());
        QVERIFY(d.isVisible());
    }

    void typingStartsEditing()
    {
        TfrmCompany d;
        d.show();
        QTest::keyClicks(text(d, QStringLiteral("tel")), QStringLiteral("123"));
        QCOMPARE(d.FDQuery1.state(), Dataset::State::Edit);
        QVERIFY(d.btnsave->isEnabled() && d.btncancel->isEnabled());
        QCOMPARE(d.FDQuery1.value(QStringLiteral("tel")).toString(), QStringLiteral("123"));
        // Cancel discards and closes without a question.
        QSignalSpy rejected(&d, &QDialog::rejected);
        d.btncancelClick();
        QCOMPARE(rejected.count(), 1);
        QVERIFY(fx->ui().texts().isEmpty());
        QCOMPARE(fx->scalar(QStringLiteral("select tel from tb_company")).toString(), QString());
    }

    void decimalsBetweenZeroAndTen_data()
    {
        QTest::addColumn<int>("asked");
        QTest::addColumn<int>("kept");
        QTest::newRow("below") << -1 << 0;
        QTest::newRow("zero") << 0 << 0;
        QTest::newRow("ten") << 10 << 10;
        QTest::newRow("above") << 11 << 10;
    }
    void decimalsBetweenZeroAndTen()
    {
        QFETCH(int, asked);
        QFETCH(int, kept);
        TfrmCompany d;
        for (QSpinBox *spin : {d.edQuantitySize, d.edPriceSize, d.edAmountSize}) {
            spin->setValue(asked);
            QCOMPARE(spin->value(), kept);
        }
        QCOMPARE(d.FDQuery1.value(QStringLiteral("amount_size")).toInt(), kept);
    }

    void typedDecimalsAboveTenRefused()
    {
        TfrmCompany d;
        d.show();
        d.edQuantitySize->setFocus();
        d.edQuantitySize->selectAll();
        QTest::keyClicks(d.edQuantitySize, QStringLiteral("12"));
        QVERIFY(d.edQuantitySize->value() <= 10);
        QVERIFY(d.FDQuery1.value(QStringLiteral("quantity_size")).toInt() <= 10);
    }

    void saveAppliesAtOnce()
    {
        TfrmCompany d;
        d.show();
        QCOMPARE(fx->dm().formatFloat(7.5, 3), 7.5);
        d.edAmountSize->setValue(0);
        QTest::keyClicks(text(d, QStringLiteral("XSCH_mark")), QStringLiteral("X"));
        d.edCompanyName->selectAll();
        QTest::keyClicks(d.edCompanyName, QStringLiteral("ACME Ltd"));
        d.btnsaveClick();
        QCOMPARE(fx->ui().texts(), QStringList(QStringLiteral("保存|保存成功!")));
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(fx->scalar(QStringLiteral("select amount_size from tb_company")).toInt(), 0);
        QCOMPARE(fx->scalar(QStringLiteral("select XSCH_mark from tb_company")).toString(), QStringLiteral("XSCHX"));
        QCOMPARE(fx->scalar(QStringLiteral("select company_name from tb_company")).toString(), QStringLiteral("ACME Ltd"));
        // The data module rounds with the new places without restarting.
        QCOMPARE(fx->dm().formatFloat(7.5, 3), 8.0);
        QCOMPARE(fx->dm().fdCompany.value(QStringLiteral("company_name")).toString(), QStringLiteral("ACME Ltd"));
        // Bill numbers do not take the prefix.
        QVERIFY(fx->dm().getBillNo(11, QDateTime::currentDateTime()).startsWith(QStringLiteral("XSCK")));
    }

    void refusedSaveKeepsTheDialogOpen()
    {
        fx->exec(QStringLiteral("alter table tb_company add constraint company_quantity_small check (quantity_size < 5)"));
        TfrmCompany d;
        d.show();
        d.edQuantitySize->setValue(8);
        d.btnsaveClick();
        QCOMPARE(fx->ui().messages.size(), 1);
        QCOMPARE(fx->ui().messages.first().kind, ScriptedInteraction::Kind::Info);
        QCOMPARE(fx->ui().messages.first().caption, QStringLiteral("错误"));
        QVERIFY2(fx->ui().messages.first().text.contains(QStringLiteral("company_quantity_small")),
                 qPrintable(fx->ui().messages.first().text));
        QCOMPARE(d.result(), 0);
        QCOMPARE(d.FDQuery1.state(), Dataset::State::Edit);
        QCOMPARE(d.edQuantitySize->value(), 8);
        QCOMPARE(fx->dm().fdCompany.value(QStringLiteral("quantity_size")).toInt(), 2);
        // Corrected, it saves.
        fx->ui().clear();
        d.edQuantitySize->setValue(3);
        d.btnsaveClick();
        QCOMPARE(fx->ui().texts(), QStringList(QStringLiteral("保存|保存成功!")));
        QCOMPARE(fx->dm().fdCompany.value(QStringLiteral("quantity_size")).toInt(), 3);
    }

    void closingWhileEditingAsks()
    {
        TfrmCompany d;
        d.show();
        QTest::keyClicks(text(d, QStringLiteral("fax")), QStringLiteral("1"));
        fx->ui().answers.enqueue(false);
        d.close();
        QCOMPARE(fx->ui().texts(), QStringList(QStringLiteral("退出|数据已修改尚未保存，确定要退出吗？")));
        QVERIFY(d.isVisible());
    }

    void mainWindowRunsItModally()
    {
        TfrmMain w;
        QString caption;
        fx->ui().dialogs.enqueue([&caption](QDialog *dialog) {
            if (qobject_cast<TfrmCompany *>(dialog))
                caption = dialog->windowTitle();
            return int(QDialog::Rejected);
        });
        w.runAction(QStringLiteral("actCompany"));
        QCOMPARE(caption, QStringLiteral("公司信息"));
        QVERIFY(fx->ui().dialogs.isEmpty());
    }
};

QTEST_MAIN(TestCompany)
#include "tst_company.moc"
