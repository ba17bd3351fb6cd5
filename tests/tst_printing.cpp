// The print screen and the report engine: generated templates, printing all
// rows or the current one, templates per module, import and delete with
// their working files, barcodes, the designer's save and undo, files that are
// not templates, printing through the printer dialog and the list screens'
// entry point with its right check and log row.
#include "TestFixture.h"
#include "data/Dataset.h"
#include "printing/Barcode.h"
#include "printing/DefaultTemplate.h"
#include "printing/DesignerScene.h"
#include "printing/PrintEntry.h"
#include "printing/PropertyPanel.h"
#include "printing/ReportDesigner.h"
#include "printing/ReportRenderer.h"
#include "printing/TemplateFile.h"
#include "printing/uFrmPrint.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGraphicsView>
#include <QRadioButton>
#include <QGroupBox>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace report;

namespace {

const QString kModule = QStringLiteral("仓库");

PrintColumns storeColumns()
{
    return {{QStringLiteral("store_no"), QStringLiteral("仓库编号"), 90, true, 0},
            {QStringLiteral("store_name"), QStringLiteral("仓库名称"), 160, true, 0},
            {QStringLiteral("pym"), QStringLiteral("拼音码"), 80, false, 0},
            {QStringLiteral("id"), QStringLiteral("操作"), 40, true, kNoPrintColumnTag},
            {QStringLiteral("create_date"), QStringLiteral("建立日期"), 150, true, 0}};
}

QString runTool(const QString &tool, const QStringList &args)
{
    QProcess p;
    p.start(tool, args);
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        qFatal("%s failed: %s", qPrintable(tool), p.readAllStandardError().constData());
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The text of a PDF without white space. Fonts that share one glyph between a
// character and its radical form make pdftotext report the radical; both are
// folded back to the ordinary character.
QString pdfText(const QString &path)
{
    QString text = runTool(QStringLiteral("pdftotext"), {path, QStringLiteral("-")})
                       .normalized(QString::NormalizationForm_KC);
    text.replace(QChar(0x2EDA), QChar(0x9875)); // ⻚ → 页
    text.remove(QRegularExpression(QStringLiteral("\\s+")));
    return text;
}

int pdfPages(const QString &path)
{
    const QString info = runTool(QStringLiteral("pdfinfo"), {path});
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

} // namespace

class TestPrinting : public QObject {
    Q_OBJECT
    std::unique_ptr<TestFixture> fx;
    std::unique_ptr<Dataset> stores;
    QTemporaryDir tmp;

    void addStores(int count)
    {
        QStringList values;
        for (int i = 1; i <= count; ++i)
            values << QStringLiteral("(NOW(), 'S%1', '仓库%2号', 'CK')").arg(i, 3, 10, QLatin1Char('0')).arg(i);
        fx->exec(QStringLiteral("delete from tb_store"));
        if (count > 0)
            fx->exec(QStringLiteral("insert into tb_store (create_date, store_no, store_name, pym) values ") +
                     values.join(QLatin1Char(',')));
        stores->open();
    }

    TfrmPrint *openScreen(const QString &module = kModule)
    {
        TfrmPrint *screen = TfrmPrint::getInstance();
        screen->setCompanyData(&fx->dm().fdCompany);
        screen->setDataset(stores.get());
        screen->setModularName(module);
        screen->setBandedTableView(storeColumns());
        screen->getMainData();
        return screen;
    }

    // Adds a generated template through the screen's add panel.
    void addGenerated(TfrmPrint *screen, const QString &name, bool printAll = true, bool landscape = false)
    {
        screen->btnNewClick();
        screen->edReportName->setText(name);
        screen->cbPrintAll->setChecked(printAll);
        (landscape ? screen->rbLandscape : screen->rbPortrait)->setChecked(true);
        screen->btnSaveClick();
    }

    // A template whose master band shows every column of the header.
    void addFilledTemplate(TfrmPrint *screen, const QString &name, bool printAll)
    {
        addGenerated(screen, name, printAll);
        QVERIFY(screen->fdReport.locate(QStringLiteral("report_name"), name));
        fx->ui().dialogs.enqueue([](QDialog *d) {
            auto *designer = qobject_cast<ReportDesigner *>(d);
            designer->fillMasterFromHeaders();
            return designer->save() ? QDialog::Accepted : QDialog::Rejected;
        });
        screen->btnDesignClick();
        QVERIFY(fx->ui().dialogs.isEmpty());
    }

    QString exportPdf(TfrmPrint *screen, const QString &name)
    {
        const QString path = tmp.filePath(name + QStringLiteral(".pdf"));
        fx->ui().fileNames.enqueue(path);
        screen->btnExportPdfClick();
        return path;
    }

    QByteArray storedFile(const QString &name)
    {
        QSqlQuery q = fx->db().read(QStringLiteral("select report_file from tb_report where report_name=?"), {name});
        return q.next() ? q.value(0).toByteArray() : QByteArray();
    }

private slots:
    void initTestCase()
    {
        fx = std::make_unique<TestFixture>();
        stores = std::make_unique<Dataset>(fx->db());
        stores->setSql(QStringLiteral("select * from tb_store where del=0 order by id"));
        QVERIFY(tmp.isValid());
    }
    void cleanupTestCase()
    {
        TfrmPrint::freeInstance();
        stores.reset();
        fx.reset();
    }
    void init()
    {
        TfrmPrint::freeInstance();
        fx->ui().clear();
        fx->exec(QStringLiteral("delete from tb_report"));
        fx->exec(QStringLiteral("delete from tb_user_log"));
        fx->dm().getCompanyInfo();
        QDir(TfrmPrint::workingFolder()).removeRecursively();
        addStores(3);
    }
    void cleanup() { fx->checkNoUnexpectedDialogs(); }

    void generatedTemplateFollowsGridColumns()
    {
        const ReportTemplate t = generateDefaultTemplate(QStringLiteral("仓库清单"), true, storeColumns());
        QVERIFY(t.page.landscape);
        QCOMPARE(t.page.marginLeft, 10.0);
        const ReportBand *title = t.band(BandType::ReportTitle);
        QVERIFY(title);
        QCOMPARE(title->objects.size(), 1);
        QCOMPARE(title->objects[0].text, QStringLiteral("仓库清单"));
        QVERIFY(title->objects[0].centerInBand && title->objects[0].font.bold);
        QCOMPARE(title->objects[0].font.pointSize, 14.0);

        const ReportBand *header = t.band(BandType::PageHeader);
        QVERIFY(header);
        QStringList captions;
        QList<QRectF> rects;
        for (const ReportObject &o : header->objects) {
            captions << o.text;
            rects << o.rect;
            QCOMPARE(o.frame, int(FrameAll));
            QCOMPARE(o.hAlign, HAlign::Center);
            QCOMPARE(o.vAlign, VAlign::Center);
            QVERIFY(o.fill.isValid());
        }
        // Definition order, hidden column kept, tag-999 column left out.
        QCOMPARE(captions, QStringList({"仓库编号", "仓库名称", "拼音码", "建立日期"}));
        QCOMPARE(rects, QList<QRectF>({QRectF(0, 0, 90, 30), QRectF(90, 0, 160, 30), QRectF(250, 0, 80, 30),
                                        QRectF(330, 0, 150, 30)}));
        const ReportBand *master = t.band(BandType::MasterData);
        QVERIFY(master && master->objects.isEmpty());
        QCOMPARE(master->dataset, QStringLiteral("主表"));
    }

    void saveStoresGeneratedTemplate()
    {
        TfrmPrint *screen = openScreen();
        QVERIFY(screen->pnlAdd->isHidden());
        addGenerated(screen, QStringLiteral("仓库清单"), false, true);
        QVERIFY(screen->pnlAdd->isHidden());
        QCOMPARE(screen->fdReport.recordCount(), 1);
        QSqlQuery q = fx->db().read(QStringLiteral("select formtype, report_path, print_all, report_file from tb_report"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), kModule);
        const QString path = TfrmPrint::workingFolder() + QStringLiteral("仓库清单.fr3");
        QCOMPARE(q.value(1).toString(), path);
        QCOMPARE(q.value(2).toInt(), 0);
        QCOMPARE(q.value(3).toByteArray(), readWholeFile(path));
        const ReportTemplate stored = fromXml(q.value(3).toByteArray());
        QCOMPARE(stored, generateDefaultTemplate(QStringLiteral("仓库清单"), true, storeColumns()));
    }

    void emptyNameIsRefused_data()
    {
        QTest::addColumn<bool>("import");
        QTest::newRow("保存") << false;
        QTest::newRow("导入") << true;
    }
    void emptyNameIsRefused()
    {
        QFETCH(bool, import);
        TfrmPrint *screen = openScreen();
        screen->btnNewClick();
        screen->edReportName->setText(QStringLiteral("   "));
        import ? screen->btnImportClick() : screen->btnSaveClick();
        QCOMPARE(fx->ui().texts(), QStringList{QStringLiteral("验证|请输入报表名称")});
        QCOMPARE(fx->scalar(QStringLiteral("select count(*) from tb_report")).toInt(), 0);
        QVERIFY(!screen->pnlAdd->isHidden());
    }

    void printAllOrCurrentRow_data()
    {
        QTest::addColumn<bool>("printAll");
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QStringList>("absent");
        QTest::newRow("all rows") << true << QStringList{"仓库1号", "仓库2号", "仓库3号"} << QStringList{};
        QTest::newRow("current row") << false << QStringList{"仓库2号"} << QStringList{"仓库1号", "仓库3号"};
    }
    void printAllOrCurrentRow()
    {
        QFETCH(bool, printAll);
        QFETCH(QStringList, present);
        QFETCH(QStringList, absent);
        TfrmPrint *screen = openScreen();
        addFilledTemplate(screen, QStringLiteral("清单"), printAll);
        stores->setRecNo(1);
        const QString pdf = exportPdf(screen, QStringLiteral("rows"));
        const QString text = pdfText(pdf);
        QVERIFY2(text.contains(QStringLiteral("清单")) && text.contains(QStringLiteral("仓库名称")), qPrintable(text));
        for (const QString &s : present)
            QVERIFY2(text.contains(s), qPrintable(s + QStringLiteral(" missing in\n") + text));
        for (const QString &s : absent)
            QVERIFY2(!text.contains(s), qPrintable(s + QStringLiteral(" printed in\n") + text));
        QCOMPARE(pdfPages(pdf), 1);
        QVERIFY(!screen->printed());
    }

    void longListPaginates()
    {
        addStores(120);
        TfrmPrint *screen = openScreen();
        addFilledTemplate(screen, QStringLiteral("清单"), true);
        const QString pdf = exportPdf(screen, QStringLiteral("long"));
        const int pages = pdfPages(pdf);
        // 120 rows of 20 px on A4 portrait (about 1047 px of content) take three pages.
        QCOMPARE(pages, 3);
        const QString text = pdfText(pdf);
        for (int p = 1; p <= pages; ++p)
            QVERIFY2(text.contains(QStringLiteral("第%1页/共3页").arg(p)), qPrintable(text));
        // The page header repeats on every page, the title only on the first.
        QCOMPARE(text.count(QStringLiteral("仓库名称")), 3);
        QCOMPARE(text.count(QStringLiteral("清单")), 1);
        QVERIFY(text.contains(QStringLiteral("仓库120号")));
        QVERIFY(text.indexOf(QStringLiteral("仓库1号")) < text.indexOf(QStringLiteral("仓库120号")));
    }

    void templatesArePerModule()
    {
        TfrmPrint *screen = openScreen();
        addGenerated(screen, QStringLiteral("仓库清单"));
        screen->setModularName(QStringLiteral("部门"));
        screen->getMainData();
        QVERIFY(screen->fdReport.isEmpty());
        QVERIFY(!screen->btnPrint->isEnabled());
        // With no template, printing and previewing do nothing.
        screen->btnPrintClick();
        screen->btnPreviewClick();
        addGenerated(screen, QStringLiteral("部门清单"));
        addGenerated(screen, QStringLiteral("部门清单2"));
        QCOMPARE(screen->fdReport.recordCount(), 2);
        screen->setModularName(kModule);
        screen->getMainData();
        QCOMPARE(screen->fdReport.recordCount(), 1);
        QCOMPARE(screen->fdReport.value(QStringLiteral("report_name")).toString(), QStringLiteral("仓库清单"));
        // A module name with a quote is a value like any other.
        screen->setModularName(QStringLiteral("O'Neil"));
        screen->getMainData();
        QVERIFY(screen->fdReport.isEmpty());
    }

    void importStoresFileAndDeleteRemovesIt()
    {
        TfrmPrint *screen = openScreen();
        const QString source = tmp.filePath(QStringLiteral("source.FR3"));
        saveTemplateFile(source, generateDefaultTemplate(QStringLiteral("外部"), false, storeColumns()));

        screen->btnNewClick();
        screen->edReportName->setText(QStringLiteral("导入的"));
        fx->ui().fileNames.enqueue(QString()); // cancelled
        screen->btnImportClick();
        QVERIFY(!screen->pnlAdd->isHidden());
        QCOMPARE(fx->scalar(QStringLiteral("select count(*) from tb_report")).toInt(), 0);

        fx->ui().fileNames.enqueue(source);
        screen->btnImportClick();
        QVERIFY(screen->pnlAdd->isHidden());
        const QString path = fx->scalar(QStringLiteral("select report_path from tb_report")).toString();
        QVERIFY2(QRegularExpression(QStringLiteral("^") + QRegularExpression::escape(TfrmPrint::workingFolder()) +
                                    QStringLiteral("仓库[1-9][0-9]{3}\\.fr3$"))
                     .match(path)
                     .hasMatch(),
                 qPrintable(path));
        QCOMPARE(readWholeFile(path), readWholeFile(source));
        QCOMPARE(storedFile(QStringLiteral("导入的")), readWholeFile(source));

        fx->ui().answers.enqueue(false);
        screen->btnDeleteClick();
        QCOMPARE(fx->scalar(QStringLiteral("select count(*) from tb_report")).toInt(), 1);
        fx->ui().answers.enqueue(true);
        screen->btnDeleteClick();
        QCOMPARE(fx->ui().texts().last(), QStringLiteral("确认|确定要删除记录吗？"));
        QCOMPARE(fx->scalar(QStringLiteral("select count(*) from tb_report")).toInt(), 0);
        QVERIFY(!QFile::exists(path));
        QVERIFY(QFile::exists(source));
        QVERIFY(screen->fdReport.isEmpty());
    }

    void deleteLeavesFilesOutsideWorkingFolder()
    {
        TfrmPrint *screen = openScreen();
        addGenerated(screen, QStringLiteral("清单"));
        const QString foreign = tmp.filePath(QStringLiteral("keep.fr3"));
        writeWholeFile(foreign, "keep");
        fx->db().exec(QStringLiteral("update tb_report set report_path=?"), DbConnection::Kind::Write, {foreign});
        screen->getMainData();
        fx->ui().answers.enqueue(true);
        screen->btnDeleteClick();
        QCOMPARE(fx->scalar(QStringLiteral("select count(*) from tb_report")).toInt(), 0);
        QVERIFY(QFile::exists(foreign));
    }

    void nameCannotLeaveWorkingFolder()
    {
        TfrmPrint *screen = openScreen();
        addGenerated(screen, QStringLiteral("../../逃逸"));
        const QString path = fx->scalar(QStringLiteral("select report_path from tb_report")).toString();
        QCOMPARE(QFileInfo(path).absolutePath() + QLatin1Char('/'), TfrmPrint::workingFolder());
        QVERIFY(QFile::exists(path));
    }

    void sameNameTemplatesPrintTheirOwnContent()
    {
        TfrmPrint *screen = openScreen();
        addGenerated(screen, QStringLiteral("同名"));
        ReportTemplate other = generateDefaultTemplate(QStringLiteral("另一个标题"), false, storeColumns());
        const QString source = tmp.filePath(QStringLiteral("other.fr3"));
        saveTemplateFile(source, other);
        fx->db().exec(QStringLiteral("insert into tb_report (formtype, report_name, report_path, print_all, report_file) "
                                     "select formtype, report_name, report_path, 1, ? from tb_report"),
                      DbConnection::Kind::Write, {readWholeFile(source)});
        screen->getMainData();
        screen->fdReport.first();
        QVERIFY(pdfText(exportPdf(screen, QStringLiteral("a"))).contains(QStringLiteral("同名")));
        screen->fdReport.last();
        QVERIFY(pdfText(exportPdf(screen, QStringLiteral("b"))).contains(QStringLiteral("另一个标题")));
    }

    void notATemplateFailsToPrepare_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("text") << QByteArray("hello, this is no report");
        QTest::newRow("other xml") << QByteArray("<?xml version=\"1.0\"?><TfrxReport Version=\"6\"/>");
        QTest::newRow("bad number") << QByteArray("<ckreport version=\"1\"><band type=\"masterData\" height=\"x\"/></ckreport>");
        QTest::newRow("unknown field") << toXml([] {
            ReportTemplate t = generateDefaultTemplate(QStringLiteral("t"), false, {});
            t.band(BandType::MasterData)->objects.append(ReportObject{.name = QStringLiteral("m"), .rect = QRectF(0, 0, 50, 20), .text = QStringLiteral("[主表.\"no_such\"]")});
            return t;
        }());
    }
    void notATemplateFailsToPrepare()
    {
        QFETCH(QByteArray, content);
        TfrmPrint *screen = openScreen();
        const QString source = tmp.filePath(QStringLiteral("bad.txt"));
        writeWholeFile(source, content);
        screen->btnNewClick();
        screen->edReportName->setText(QStringLiteral("坏的"));
        fx->ui().fileNames.enqueue(source);
        screen->btnImportClick();
        fx->ui().clear();

        screen->btnDesignClick(); // no designer is opened: no dialog is scripted
        screen->btnPrintClick();
        screen->btnPreviewClick();
        QCOMPARE(fx->ui().messages.size(), 3);
        for (const auto &m : fx->ui().messages) {
            QCOMPARE(m.kind, ScriptedInteraction::Kind::Warning);
            QCOMPARE(m.caption, QStringLiteral("打印"));
            QVERIFY(!m.text.isEmpty());
        }
        QCOMPARE(storedFile(QStringLiteral("坏的")), content);
        QVERIFY(!screen->printed());
    }

    void printGoesThroughPrinterDialog_data()
    {
        QTest::addColumn<bool>("accept");
        QTest::newRow("printed") << true;
        QTest::newRow("cancelled") << false;
    }
    void printGoesThroughPrinterDialog()
    {
        QFETCH(bool, accept);
        TfrmPrint *screen = openScreen();
        addFilledTemplate(screen, QStringLiteral("清单"), true);
        const QString pdf = tmp.filePath(QStringLiteral("printer.pdf"));
        QFile::remove(pdf);
        fx->ui().dialogs.enqueue([&](QDialog *d) {
            auto *dialog = qobject_cast<QPrintDialog *>(d);
            if (!dialog)
                return int(QDialog::Rejected);
            dialog->printer()->setOutputFileName(pdf);
            return int(accept ? QDialog::Accepted : QDialog::Rejected);
        });
        screen->btnPrintClick();
        QVERIFY(fx->ui().dialogs.isEmpty());
        QCOMPARE(screen->printed(), accept);
        QCOMPARE(QFile::exists(pdf), accept);
        if (accept)
            QVERIFY(pdfText(pdf).contains(QStringLiteral("仓库3号")));
    }

    void previewShowsPagesWithoutPrinting()
    {
        TfrmPrint *screen = openScreen();
        addFilledTemplate(screen, QStringLiteral("清单"), true);
        QString title;
        fx->ui().dialogs.enqueue([&](QDialog *d) {
            title = d->windowTitle();
            return int(QDialog::Accepted);
        });
        screen->btnPreviewClick();
        QCOMPARE(title, QStringLiteral("预览"));
        QVERIFY(!screen->printed());
    }

    void printDatasetChecksRightAndLogs_data()
    {
        QTest::addColumn<bool>("right");
        QTest::addColumn<bool>("print");
        QTest::newRow("no right") << false << false;
        QTest::newRow("closed without printing") << true << false;
        QTest::newRow("printed") << true << true;
    }
    void printDatasetChecksRightAndLogs()
    {
        QFETCH(bool, right);
        QFETCH(bool, print);
        fx->exec(QStringLiteral("update tb_role_rights set can_print=%1 where role_id=2").arg(right ? 1 : 0));
        fx->loginAs(QStringLiteral("测试用户"));
        fx->exec(QStringLiteral("update tb_company set company_name='新公司名'"));
        const QString pdf = tmp.filePath(QStringLiteral("entry.pdf"));
        bool handedOver = false;
        QString company;
        if (right) {
            fx->ui().dialogs.enqueue([&](QDialog *d) {
                auto *screen = qobject_cast<TfrmPrint *>(d);
                handedOver = screen && screen->dataset() == stores.get() && screen->ModularName() == kModule &&
                             screen->BandedTableView().size() == storeColumns().size();
                company = fx->dm().fdCompany.value(QStringLiteral("company_name")).toString();
                addGenerated(screen, QStringLiteral("清单"));
                if (print) {
                    fx->ui().dialogs.enqueue([&](QDialog *p) {
                        qobject_cast<QPrintDialog *>(p)->printer()->setOutputFileName(pdf);
                        return int(QDialog::Accepted);
                    });
                    screen->btnPrintClick();
                }
                return int(QDialog::Rejected);
            });
        }
        const bool printed = printDataset(nullptr, kModule, stores.get(), storeColumns());
        fx->loginAs(QStringLiteral("管理员"));
        fx->exec(QStringLiteral("update tb_company set company_name='我的公司'"));
        QCOMPARE(printed, print);
        QCOMPARE(handedOver, right);
        if (right)
            QCOMPARE(company, QStringLiteral("新公司名"));
        QVERIFY(fx->ui().dialogs.isEmpty());
        if (!right)
            QCOMPARE(fx->ui().texts(), QStringList{QStringLiteral("权限验证失败|您没有操作此项目的权限！")});
        QCOMPARE(fx->scalar(QStringLiteral("select count(*) from tb_user_log where module='仓库' and action='打印'")).toInt(),
                 print ? 1 : 0);
        // The screen is released after every print action.
        TfrmPrint *fresh = TfrmPrint::getInstance();
        QVERIFY(!fresh->printed());
        QVERIFY(fresh->dataset() == nullptr);
    }

    void companyAndDetailDatasets()
    {
        Dataset lines(fx->db());
        lines.setSql(QStringLiteral("select id as line_no, store_name as goods_name, cast(substring(store_no, 2) as unsigned)*1000.5 as amount from tb_store order by id"));
        lines.open();
        ReportTemplate t = generateDefaultTemplate(QStringLiteral("单据"), false, {});
        ReportBand detail;
        detail.type = BandType::DetailData;
        detail.dataset = detailName();
        detail.height = 20;
        detail.objects.append(ReportObject{.name = QStringLiteral("d1"), .rect = QRectF(0, 0, 200, 20),
                                           .text = QStringLiteral("[子表.\"goods_name\"]")});
        detail.objects.append(ReportObject{.name = QStringLiteral("d2"), .rect = QRectF(200, 0, 100, 20),
                                           .text = QStringLiteral("[子表.\"amount\"]"), .displayFormat = QStringLiteral("#,##0.00")});
        t.bands.append(detail);
        t.band(BandType::MasterData)->objects.append(ReportObject{
            .name = QStringLiteral("m1"), .rect = QRectF(0, 0, 300, 20),
            .text = QStringLiteral("单位：[企业信息.\"company_name\"] 仓库：[主表.\"store_no\"] 停用：[主表.\"is_stop\"]")});
        stores->setRecNo(2);
        const ReportData data{stores.get(), false, &lines, &fx->dm().fdCompany};
        const PreparedReport r = prepareReport(t, data);
        QCOMPARE(r.pageCount(), 1);
        const QStringList texts = r.pageTexts(0);
        const int master = texts.indexOf(QStringLiteral("单位：我的公司 仓库：S003 停用：否"));
        QVERIFY2(master >= 0, qPrintable(texts.join(QLatin1Char('|'))));
        QCOMPARE(texts.mid(master + 1, 6), QStringList({"仓库1号", "1,000.50", "仓库2号", "2,001.00", "仓库3号", "3,001.50"}));
        QCOMPARE(texts.last(), QStringLiteral("第 1 页 / 共 1 页"));
    }

    void formatValue_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("expected");
        QTest::newRow("two places") << QVariant(2.675) << "0.00" << "2.68";
        QTest::newRow("whole") << QVariant(12.5) << "0" << "13";
        QTest::newRow("thousands") << QVariant(1234567.891) << "#,##0.00" << "1,234,567.89";
        QTest::newRow("date") << QVariant(QDate(2024, 3, 9)) << "yyyy-MM-dd" << "2024-03-09";
        QTest::newRow("date time") << QVariant(QDateTime(QDate(2024, 3, 9), QTime(8, 5))) << "yyyy年M月d日 HH:mm"
                                   << "2024年3月9日 08:05";
        QTest::newRow("text with number format") << QVariant(QStringLiteral("abc")) << "0.00" << QString();
    }
    void formatValue()
    {
        QFETCH(QVariant, value);
        QFETCH(QString, format);
        QFETCH(QString, expected);
        QCOMPARE(report::formatValue(value, format), expected);
    }

    void expressionsThatCannotPrint_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("unknown dataset") << "[明细.\"a\"]";
        QTest::newRow("unbound detail") << "[子表.\"goods_name\"]";
        QTest::newRow("unknown field") << "[主表.\"nope\"]";
        QTest::newRow("unknown expression") << "[1+1]";
    }
    void expressionsThatCannotPrint()
    {
        QFETCH(QString, text);
        const ReportData data{stores.get(), true, nullptr, &fx->dm().fdCompany};
        QVERIFY_THROWS_EXCEPTION(TemplateError, expandText(text, ExpandContext{&data, 0, -1}, {}));
    }

    void barcodeRenders_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("data");
        QTest::addColumn<bool>("ok");
        QTest::newRow("code 128") << int(BarcodeType::Code128) << "6901234567892" << true;
        QTest::newRow("qr with chinese") << int(BarcodeType::QrCode) << "仓库1号" << true;
        QTest::newRow("ean-13") << int(BarcodeType::Ean13) << "690123456789" << true;
        QTest::newRow("ean-13 letters") << int(BarcodeType::Ean13) << "ABC" << false;
    }
    void barcodeRenders()
    {
        QFETCH(int, type);
        QFETCH(QString, data);
        QFETCH(bool, ok);
        QImage image(240, 120, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        const QString error = drawBarcode(p, QRectF(20, 10, 200, 100), BarcodeType(type), data);
        p.end();
        QCOMPARE(error.isEmpty(), ok);
        int dark = 0, darkOutside = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qGray(image.pixel(x, y)) < 128)
                    (QRect(20, 10, 200, 100).contains(x, y) ? dark : darkOutside)++;
        QCOMPARE(darkOutside, 0);
        if (ok)
            QVERIFY2(dark > 2000, qPrintable(QString::number(dark)));
        else
            QCOMPARE(dark, 0);
    }

    void barcodeObjectPrintsFromField()
    {
        ReportTemplate t = generateDefaultTemplate(QStringLiteral("条码"), false, {});
        ReportObject code{.kind = ObjectKind::Barcode, .name = QStringLiteral("b"), .rect = QRectF(0, 0, 200, 60),
                          .text = QStringLiteral("[主表.\"store_no\"]")};
        t.band(BandType::MasterData)->objects.append(code);
        t.band(BandType::MasterData)->height = 60;
        const ReportData data{stores.get(), false, nullptr, nullptr};
        const PreparedReport r = prepareReport(t, data);
        QImage page(800, 1123, QImage::Format_RGB32);
        page.fill(Qt::white);
        QPainter p(&page);
        r.paintPage(p, 0);
        p.end();
        const auto &objects = r.pageAt(0).objects;
        const auto placed = std::find_if(objects.cbegin(), objects.cend(),
                                         [](const PlacedObject &o) { return o.object.name == QLatin1String("b"); });
        QVERIFY(placed != objects.cend());
        QCOMPARE(placed->text, QStringLiteral("S001"));
        const QRect box = placed->rect.toRect();
        int dark = 0;
        for (int y = box.top(); y <= box.bottom(); ++y)
            for (int x = box.left(); x <= box.right(); ++x)
                dark += qGray(page.pixel(x, y)) < 128;
        QVERIFY(dark > 1000);
    }

    void designerSavesUnchangedAndUndoes()
    {
        const QString path = tmp.filePath(QStringLiteral("design.fr3"));
        saveTemplateFile(path, generateDefaultTemplate(QStringLiteral("设计"), false, storeColumns()));
        const QByteArray before = readWholeFile(path);
        const ReportData data{stores.get(), true, nullptr, &fx->dm().fdCompany};
        ReportDesigner designer(path, data);
        QVERIFY(designer.save());
        QCOMPARE(readWholeFile(path), before);

        designer.fillMasterFromHeaders();
        int master = -1;
        for (int i = 0; i < designer.reportTemplate().bands.size(); ++i)
            if (designer.reportTemplate().bands[i].type == BandType::MasterData)
                master = i;
        QCOMPARE(designer.reportTemplate().bands[master].objects.size(), 4);
        designer.select(master, 1);
        designer.moveSelected(5, 0);
        designer.resizeSelected(10, 0);
        QCOMPARE(designer.reportTemplate().bands[master].objects[1].rect, QRectF(95, 0, 170, 20));
        QVERIFY(designer.save());
        const ReportTemplate saved = loadTemplateFile(path);
        QCOMPARE(saved, designer.reportTemplate());
        QCOMPARE(saved.bands[master].objects[1].text, QStringLiteral("[主表.\"store_name\"]"));
        QCOMPARE(toXml(saved), readWholeFile(path));

        designer.undo();
        designer.undo();
        designer.undo();
        QVERIFY(!designer.canUndo());
        QCOMPARE(toXml(designer.reportTemplate()), before);

        // The property panel edits the selected object.
        designer.fillMasterFromHeaders();
        designer.select(master, 0);
        auto *panel = designer.findChild<PropertyPanel *>();
        QVERIFY(panel);
        panel->edText->setText(QStringLiteral("编号：[主表.\"store_no\"]"));
        emit panel->edText->editingFinished();
        panel->cbHAlign->setCurrentIndex(int(HAlign::Right));
        panel->cbFormat->setCurrentText(QStringLiteral("0.00"));
        emit panel->cbFormat->lineEdit()->editingFinished();
        const ReportObject &edited = designer.reportTemplate().bands[master].objects[0];
        QCOMPARE(edited.text, QStringLiteral("编号：[主表.\"store_no\"]"));
        QCOMPARE(edited.hAlign, HAlign::Right);
        QCOMPARE(edited.displayFormat, QStringLiteral("0.00"));
        designer.undo();
        designer.undo();
        designer.undo();
        designer.undo();
        QCOMPARE(toXml(designer.reportTemplate()), before);
    }

    void designerMovesObjectsWithMouseAndKeys()
    {
        const QString path = tmp.filePath(QStringLiteral("mouse.fr3"));
        saveTemplateFile(path, generateDefaultTemplate(QStringLiteral("设计"), false, storeColumns()));
        const ReportData data{stores.get(), true, nullptr, nullptr};
        ReportDesigner designer(path, data);
        designer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&designer));
        auto *view = designer.findChild<QGraphicsView *>();
        QVERIFY(view);
        const int header = 1;
        const QRectF before = designer.reportTemplate().bands[header].objects[1].rect;
        ObjectItem *item = nullptr;
        for (QGraphicsItem *i : view->scene()->items())
            if (auto *o = dynamic_cast<ObjectItem *>(i); o && o->isAt(header, 1))
                item = o;
        QVERIFY(item);
        const QPoint start = view->mapFromScene(item->mapToScene(QPointF(20, 10)));
        QTest::mousePress(view->viewport(), Qt::LeftButton, {}, start);
        QTest::mouseMove(view->viewport(), start + QPoint(15, 0));
        QTest::mouseMove(view->viewport(), start + QPoint(30, 0));
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, start + QPoint(30, 0));
        QTRY_COMPARE(designer.reportTemplate().bands[header].objects[1].rect, before.translated(30, 0));
        QCOMPARE(designer.selectedBand(), header);
        QCOMPARE(designer.selectedObject(), 1);

        view->setFocus();
        QTest::keyClick(view->viewport(), Qt::Key_Down);
        QTest::keyClick(view->viewport(), Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(view->viewport(), Qt::Key_Left, Qt::ControlModifier);
        QCOMPARE(designer.reportTemplate().bands[header].objects[1].rect,
                 QRectF(before.left() + 20, before.top() + 1, before.width() + 1, before.height()));
        QTest::keyClick(view->viewport(), Qt::Key_Delete);
        QCOMPARE(designer.reportTemplate().bands[header].objects.size(), 3);
        fx->ui().answers.enqueue(false);
        designer.reject();
    }

    void designerAddsFieldsAndBands()
    {
        const QString path = tmp.filePath(QStringLiteral("fields.fr3"));
        saveTemplateFile(path, generateDefaultTemplate(QStringLiteral("设计"), false, storeColumns()));
        const ReportData data{stores.get(), true, nullptr, &fx->dm().fdCompany};
        ReportDesigner designer(path, data);
        const int bandsBefore = designer.reportTemplate().bands.size();
        designer.addBand(BandType::Summary);
        QCOMPARE(designer.reportTemplate().bands.size(), bandsBefore + 1);
        designer.addBand(BandType::Summary); // only one of each kind
        QCOMPARE(fx->ui().texts().size(), 1);
        int master = -1;
        for (int i = 0; i < designer.reportTemplate().bands.size(); ++i)
            if (designer.reportTemplate().bands[i].type == BandType::MasterData)
                master = i;
        designer.addFieldObject(master, QPointF(12.4, 3), QStringLiteral("[主表.\"store_name\"]"));
        designer.select(master, 0);
        designer.addObject(ObjectKind::Barcode);
        QCOMPARE(designer.reportTemplate().bands[master].objects.size(), 2);
        QCOMPARE(designer.reportTemplate().bands[master].objects[0].rect.topLeft(), QPointF(12, 0));
        QVERIFY(designer.save());
        // What the designer made prints.
        const PreparedReport r = prepareReport(loadTemplateFile(path), data);
        QVERIFY(r.pageTexts(0).contains(QStringLiteral("仓库2号")));
        // Closing with changes offers to save; "no" keeps the file as saved.
        designer.removeSelected();
        fx->ui().answers.enqueue(false);
        designer.reject();
        QCOMPARE(loadTemplateFile(path).bands[master].objects.size(), 2);
    }
};

QTEST_MAIN(TestPrinting)
#include "tst_printing.moc"
