// Pinyin-initials search codes of names.
#include "data/PinyinLevel2.h"
#include "data/UnitConverionPy.h"

#include <QtTest>
#include <cstring>

class TestPinyin : public QObject {
    Q_OBJECT

private slots:
    void codes_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("code");
        QTest::newRow("warehouse") << QStringLiteral("北京仓") << QStringLiteral("BJC");
        QTest::newRow("office supplies") << QStringLiteral("办公用品") << QStringLiteral("BGYP");
        QTest::newRow("ascii kept") << QStringLiteral("螺丝刀M6") << QStringLiteral("LSDM6");
        QTest::newRow("参 first gives S") << QStringLiteral("参考") << QStringLiteral("SK");
        QTest::newRow("参 last gives S") << QStringLiteral("人参") << QStringLiteral("RS");
        QTest::newRow("trailing blank trimmed") << QStringLiteral("北京仓 ") << QStringLiteral("BJC");
        QTest::newRow("leading tab and newline trimmed") << QStringLiteral("\t\n北京仓") << QStringLiteral("BJC");
        QTest::newRow("inner blank kept") << QStringLiteral("北京 仓") << QStringLiteral("BJ C");
        QTest::newRow("full-width brackets give nothing") << QStringLiteral("毛巾（大）") << QStringLiteral("MJD");
        QTest::newRow("full-width digit gives nothing") << QStringLiteral("８号") << QStringLiteral("H");
        QTest::newRow("Greek letter gives nothing") << QStringLiteral("铜管Φ20") << QStringLiteral("TG20");
        QTest::newRow("level-2 character") << QStringLiteral("鑫") << QStringLiteral("X");
        QTest::newRow("case kept") << QStringLiteral("A4纸m") << QStringLiteral("A4Zm");
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("blanks only") << QStringLiteral("   ") << QString();
        // GBK extension characters: a whole-row lead byte gives the row's
        // letter, a split row gives nothing, lead bytes below 0xA0 are copied.
        QTest::newRow("whole row, low trail") << QStringLiteral("盄") << QStringLiteral("B");
        QTest::newRow("split row, low trail") << QStringLiteral("癅") << QString();
        QTest::newRow("low lead byte copied") << QStringLiteral("丂") << QStringLiteral("丂");
        QTest::newRow("not in GBK") << QStringLiteral("x\U0001F600") << QStringLiteral("x?");
        QTest::newRow("single trailing ascii byte") << QStringLiteral("仓A") << QStringLiteral("CA");
    }
    void codes()
    {
        QFETCH(QString, name);
        QFETCH(QString, code);
        QCOMPARE(getPinyinCode(name), code);
    }

    // Every level-2 row has one entry per trail byte and holds only capitals and blanks.
    void level2TableShape()
    {
        QCOMPARE(pinyin::kLevel2Rows, 32);
        for (int row = 0; row < pinyin::kLevel2Rows; ++row) {
            const char *letters = pinyin::kLevel2[row];
            QCOMPARE(int(std::strlen(letters)), 94);
            for (int i = 0; i < 94; ++i)
                QVERIFY2(letters[i] == ' ' || (letters[i] >= 'A' && letters[i] <= 'Z'), letters);
        }
        QCOMPARE(QByteArray(pinyin::kLevel2[0]).left(8), QByteArray("CJWGNSPG"));
        QCOMPARE(pinyin::kLevel2[0xE2 - 0xD8][0xBB - 0xA1], ' ');
    }
};

QTEST_GUILESS_MAIN(TestPinyin)
#include "tst_pinyin.moc"
