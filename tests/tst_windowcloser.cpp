// Closing another top-level window by its title. The X11 case needs a real
// display: run this program with QT_QPA_PLATFORM=xcb under xvfb-run; on other
// platforms the request must do nothing.
#include "app/WindowCloser.h"

#include <QGuiApplication>
#include <QWidget>
#include <QtTest>

class TestWindowCloser : public QObject {
    Q_OBJECT
private slots:
    void closesTheWindowWithThatTitleOnly() {
        if (QGuiApplication::platformName() != QStringLiteral("xcb"))
            QSKIP("needs an X11 display");
        QWidget start, other;
        start.setWindowTitle(QStringLiteral("frmStart"));
        other.setWindowTitle(QStringLiteral("frmStart 2"));
        start.show();
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&start));
        QVERIFY(QTest::qWaitForWindowExposed(&other));

        QVERIFY(closeTopLevelWindow(QStringLiteral("frmStart")));
        QTRY_VERIFY(!start.isVisible());
        QVERIFY(other.isVisible());
        QVERIFY(!closeTopLevelWindow(QStringLiteral("frmStart")));
    }

    void doesNothingWithoutX11() {
        if (QGuiApplication::platformName() == QStringLiteral("xcb"))
            QSKIP("runs on X11");
        QWidget start;
        start.setWindowTitle(QStringLiteral("frmStart"));
        start.show();
        QVERIFY(!closeTopLevelWindow(QStringLiteral("frmStart")));
        QVERIFY(start.isVisible());
    }
};

QTEST_MAIN(TestWindowCloser)
#include "tst_windowcloser.moc"
