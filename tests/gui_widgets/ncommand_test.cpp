#include <QSignalSpy>
#include <QTest>
#include <cmath>

#include "ui/widgets/ncommand.h"

using kxp40s::ui::Ncommand;

class NcommandTest : public QObject {
    Q_OBJECT

  private slots:
    void startsWithItsOwnCaptionAndColours() {
        const Ncommand button;
        QCOMPARE(button.caption(), QStringLiteral("Ncommand"));
        QCOMPARE(button.upColor(), QColor(Qt::white));
        QCOMPARE(button.dnColor(), QColor(Qt::black));
        QCOMPARE(button.captionColor(), QColor(Qt::white));
    }

    // Left and top are half the free room plus a half, cut towards zero: an
    // odd pixel of room goes before the caption.
    void centresItsCaption_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QSize>("size");
        QTest::newRow("even room") << "Write" << QSize(100, 30);
        QTest::newRow("odd room") << "Write" << QSize(101, 31);
        QTest::newRow("wider than the button") << "Alert Length Select" << QSize(40, 12);
        QTest::newRow("set after the size") << "Prompts Edit" << QSize(102, 17);
    }
    void centresItsCaption() {
        QFETCH(QString, caption);
        QFETCH(QSize, size);
        Ncommand button;
        button.resize(size);
        button.setCaption(caption);
        const QSize text = button.fontMetrics().size(Qt::TextSingleLine, caption);
        const auto offset = [](int room) { return static_cast<int>(std::trunc(room / 2.0 + 0.5)); };
        QCOMPARE(button.captionRect(), QRect(QPoint(offset(size.width() - text.width()),
                                                    offset(size.height() - text.height())),
                                             text));
        if (text.width() <= size.width()) {
            const int before = button.captionRect().left();
            const int after = size.width() - button.captionRect().right() - 1;
            QVERIFY(before - after == 0 || before - after == 1);
        }
    }

    // "&&" in a caption stands for one "&", as the tab captions use it.
    void showsADoubledAmpersandAsOne() {
        const Ncommand button(QStringLiteral("Freq. && Codes"));
        QCOMPARE(button.captionRect().size(),
                 button.fontMetrics().size(Qt::TextSingleLine, QStringLiteral("Freq. & Codes")));
    }

    void colorsItsCaptionByPressReleaseAndEnabled() {
        Ncommand button(QStringLiteral("Write"));
        button.resize(80, 24);
        button.setUpColor(QColor(0x00, 0xff, 0xff));
        button.setDnColor(QColor(0x80, 0x00, 0x00));
        QSignalSpy clicks(&button, &Ncommand::clicked);

        QTest::mousePress(&button, Qt::LeftButton);
        QCOMPARE(button.captionColor(), QColor(0x80, 0x00, 0x00));
        QCOMPARE(clicks.count(), 0);
        QTest::mouseRelease(&button, Qt::LeftButton);
        QCOMPARE(button.captionColor(), QColor(0x00, 0xff, 0xff));
        QCOMPARE(clicks.count(), 1);

        button.setEnabled(false);
        QCOMPARE(button.captionColor(), Ncommand::kDisabledCaption);
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(button.captionColor(), Ncommand::kDisabledCaption);
        QCOMPARE(clicks.count(), 1);

        button.setEnabled(true);
        QCOMPARE(button.captionColor(), QColor(0x00, 0xff, 0xff));
    }
};

QTEST_MAIN(NcommandTest)
#include "ncommand_test.moc"
