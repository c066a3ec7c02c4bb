#include <QLabel>
#include <QTest>

#include "ui/widgets/about.h"
#include "ui/widgets/close_box.h"
#include "ui/widgets/ncommand.h"

using kxp40s::ui::AboutWindow;

class AboutTest : public QObject {
    Q_OBJECT

  private slots:
    void showsTitleVersionAndModelModallyWithoutTitleBar() {
        const AboutWindow about;
        QVERIFY(about.isModal());
        QVERIFY(about.windowFlags().testFlag(Qt::FramelessWindowHint));
        const QList<std::pair<QString, QString>> texts = {
            {"lblTitle", "KXP40S(USB) Pager Programmer"},
            {"lblVersion", "Version 5.12(2011.3.1)"},
            {"lblUsedFor", " This program can be used for"},
            {"lblModel", "  model KXP40"},
        };
        for (const auto& [name, text] : texts) {
            const auto* label = about.findChild<QLabel*>(name);
            QVERIFY2(label, qPrintable(name));
            QCOMPARE(label->text(), text);
        }
        QCOMPARE(about.okButton()->caption(), QStringLiteral("OK"));
        for (const QWidget* child : about.findChildren<QWidget*>())
            QVERIFY2(about.rect().contains(child->geometry()), qPrintable(child->objectName()));
    }

    void closesByOkCloseBoxEnterAndEscape_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("result");
        QTest::newRow("OK") << "OK" << int(QDialog::Accepted);
        QTest::newRow("close box") << "close box" << int(QDialog::Rejected);
        QTest::newRow("Enter") << "Enter" << int(QDialog::Accepted);
        QTest::newRow("Escape") << "Escape" << int(QDialog::Rejected);
    }
    void closesByOkCloseBoxEnterAndEscape() {
        QFETCH(QString, how);
        QFETCH(int, result);
        AboutWindow about;
        about.setResult(-1);
        about.open();
        QVERIFY(about.isVisible());
        if (how == "OK") QTest::mouseClick(about.okButton(), Qt::LeftButton);
        if (how == "close box") QTest::mouseClick(about.closeBox(), Qt::LeftButton);
        if (how == "Enter") QTest::keyClick(&about, Qt::Key_Return);
        if (how == "Escape") QTest::keyClick(&about, Qt::Key_Escape);
        QVERIFY(!about.isVisible());
        QCOMPARE(about.result(), result);
    }
};

QTEST_MAIN(AboutTest)
#include "about_test.moc"
