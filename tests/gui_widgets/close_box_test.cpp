#include <QSignalSpy>
#include <QTest>

#include "ui/widgets/close_box.h"

using kxp40s::ui::CloseBox;

class CloseBoxTest : public QObject {
    Q_OBJECT

  private slots:
    void keepsItsSizeOf255By270Twips() {
        CloseBox box;
        box.resize(40, 40);
        QCOMPARE(box.size(), QSize(17, 18));
        QCOMPARE(box.focusPolicy(), Qt::NoFocus);
    }

    void showsPressedWhileHeldAndClicksOnRelease() {
        CloseBox box;
        QSignalSpy clicks(&box, &CloseBox::clicked);
        QTest::mousePress(&box, Qt::LeftButton);
        QVERIFY(box.isDown());
        QCOMPARE(clicks.count(), 0);
        QTest::mouseRelease(&box, Qt::LeftButton);
        QVERIFY(!box.isDown());
        QCOMPARE(clicks.count(), 1);
    }
};

QTEST_MAIN(CloseBoxTest)
#include "close_box_test.moc"
