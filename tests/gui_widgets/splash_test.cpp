#include <QGuiApplication>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include "ui/widgets/splash.h"

using kxp40s::ui::SplashWindow;

class SplashTest : public QObject {
    Q_OBJECT

  private slots:
    void showsTheProductOnTopWithoutTitleBar() {
        const SplashWindow splash;
        const auto* product = splash.findChild<QLabel*>(QStringLiteral("lblProduct"));
        QVERIFY(product);
        QCOMPARE(product->text(), QStringLiteral("KXP40S(USB) Programmer"));
        QVERIFY(splash.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(splash.windowFlags().testFlag(Qt::FramelessWindowHint));
        // Everything it shows lies inside it.
        for (const QLabel* label : splash.findChildren<QLabel*>()) {
            QVERIFY2(splash.rect().contains(label->geometry()), qPrintable(label->objectName()));
            QVERIFY(label->sizeHint().width() <= label->width());
        }
    }

    // The main window is asked for while the splash still stands, then the
    // splash closes and the busy cursor goes with it.
    void asksForTheMainWindowThenClosesWithTheCursorRestored() {
        SplashWindow splash;
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
        bool visibleWhenAsked = false;
        connect(&splash, &SplashWindow::showMainWindow, this,
                [&] { visibleWhenAsked = splash.isVisible(); });
        QSignalSpy asked(&splash, &SplashWindow::showMainWindow);
        splash.show();
        QVERIFY(QGuiApplication::overrideCursor());
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        QCOMPARE(asked.count(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(!splash.isVisible(), 3000);
        QCOMPARE(asked.count(), 1);
        QVERIFY(visibleWhenAsked);
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
        QTest::qWait(100);
        QCOMPARE(asked.count(), 1);
    }

    void restoresTheCursorWhenDestroyedWhileShown() {
        {
            SplashWindow splash;
            splash.show();
            QVERIFY(QGuiApplication::overrideCursor());
        }
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }
};

QTEST_MAIN(SplashTest)
#include "splash_test.moc"
