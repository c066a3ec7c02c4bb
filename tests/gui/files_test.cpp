#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QMimeData>
#include <QUrl>

#include "editors/capcodes.h"
#include "files/table_file.h"
#include "gui_rig.h"
#include "link/serial_link.h"

namespace kxp40s::testing {

namespace {

QString notResponding() {
    return QString::fromUtf8(kNotRespondingText);
}

QString badFormat(const QString& file) {
    return "The [" + file + "] is not correct format, the file will discard !";
}

// A table file whose first capcode is `capcode`; or, with `foreign`, one
// that fails the model check.
void writeTable(const QString& file, int capcode, bool foreign = false) {
    Image image = startedImage();
    storeCapcode(image, 0, capcode);
    if (foreign) image.set(997, '1');
    QVERIFY(!writeTableFile(file.toStdString(), image));
}

}  // namespace

// The ways a table file comes into the window besides File > Open, what the
// window keeps of them for the next start, and its settings file.
class FilesTest : public GuiTest {
    Q_OBJECT

  private slots:
    // `kxp40s FILE` opens FILE once the window has started, as File > Open
    // would: the same check and message, the caption with the path.
    void aFileNamedAtStartOpensAfterStartUp_data() {
        QTest::addColumn<bool>("foreign");
        QTest::newRow("a table file") << false;
        QTest::newRow("a foreign file") << true;
    }
    void aFileNamedAtStartOpensAfterStartUp() {
        QFETCH(bool, foreign);
        GuiRig fresh;
        const QString file = fresh.path("named.tbl");
        writeTable(file, 1654321, foreign);
        ModalScript script;
        fresh.window().startUp(file.toStdString());
        const QString caption = "KXP40S V05.12 USB KAVION";
        if (foreign) {
            QCOMPARE(script.texts, QStringList{badFormat(file)});
            QCOMPARE(fresh.window().windowTitle(), caption);
        } else {
            QCOMPARE(script.texts, QStringList{});
            QCOMPARE(fresh.window().windowTitle(), caption + " - [" + file + "]");
            QCOMPARE(fresh.text({"txtAddr", 0}), QString("1654321"));
        }
    }

    // Start-up says what the board search has to say before what
    // "default.tbl" has, though the window was filled before either.
    void startUpSpeaksInItsOwnOrder() {
        GuiRig fresh(false);
        writeTable(fresh.path("default.tbl"), 1654321, true);
        ModalScript script;
        fresh.window().startUp();
        QCOMPARE(script.texts,
                 (QStringList{notResponding(), badFormat(fresh.path("default.tbl"))}));
    }

    // Ports that other programs hold are passed over without a message, at
    // start-up and when the monitor sees a port come.
    void portsOtherProgramsHoldAreSkippedQuietly() {
        GuiRig fresh(false);
        fresh.holdPort("/dev/held0", true);
        ModalScript script;
        fresh.window().startUp();
        QCOMPARE(fresh.window().statusLine()->text(), QString::fromUtf8(kBoardConnectText));
        fresh.listBoard(false);
        fresh.window().Timer1_Timer();
        fresh.holdPort("/dev/held1", true);
        fresh.window().Timer1_Timer();
        QCOMPARE(fresh.window().statusLine()->text(), QString::fromUtf8(kBoardConnectText));
        QCOMPARE(script.texts, QStringList{});
    }

    // A .tbl dropped on the window opens as File > Open opens it; anything
    // else is refused as the mouse brings it.
    void aDroppedTableFileOpens_data() {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<bool>("taken");
        QTest::newRow("a table file") << QStringList{"dropped.tbl"} << true;
        QTest::newRow("in capitals") << QStringList{"DROPPED.TBL"} << true;
        QTest::newRow("another kind") << QStringList{"dropped.txt"} << false;
        QTest::newRow("two table files") << QStringList{"a.tbl", "b.tbl"} << false;
    }
    void aDroppedTableFileOpens() {
        QFETCH(QStringList, names);
        QFETCH(bool, taken);
        QList<QUrl> urls;
        for (const QString& name : names) {
            writeTable(rig_->path(name), 1654321);
            urls << QUrl::fromLocalFile(rig_->path(name));
        }
        QMimeData mime;
        mime.setUrls(urls);
        ui::MainWindow& window = rig_->window();
        const QPoint at(window.width() / 2, window.height() / 2);
        QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&window, &enter);
        QCOMPARE(enter.isAccepted(), taken);
        if (!taken) return;
        QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&window, &drop);
        QTRY_COMPARE(window.windowTitle(),
                     "KXP40S V05.12 USB KAVION - [" + rig_->path(names.front()) + "]");
        QCOMPARE(rig_->text({"txtAddr", 0}), QString("1654321"));
    }

    // File lists the last eight files opened or saved, newest first, and
    // keeps them for the next start; one that is gone leaves the list with
    // Open's message. The dialogs start where the last file was.
    void theRecentFilesAreKeptAndOpened() {
        ModalScript script;
        for (int n = 1; n <= 9; ++n) {
            const QString file = rig_->path(QString("%1.tbl").arg(n));
            writeTable(file, 1000000 + n);
            rig_->window().openFile(file.toStdString());
        }
        const auto itemTexts = [](ui::MainWindow& window) {
            QStringList texts;
            for (QAction* item : window.recentMenu().items()) {
                if (item->isVisible()) texts << item->text();
            }
            return texts;
        };
        const QStringList shown = itemTexts(rig_->window());
        QCOMPARE(shown.size(), 8);
        QCOMPARE(shown.front(), "&1 " + rig_->path("9.tbl"));
        QCOMPARE(shown.back(), "&8 " + rig_->path("2.tbl"));
        {
            ui::MainWindow again({}, rig_->settingsFile());
            QCOMPARE(itemTexts(again), shown);
        }

        rig_->window().recentMenu().items()[3]->trigger();
        QCOMPARE(rig_->text({"txtAddr", 0}), QString("1000006"));
        QCOMPARE(itemTexts(rig_->window()).front(), "&1 " + rig_->path("6.tbl"));
        QVERIFY(QFile::remove(rig_->path("9.tbl")));
        rig_->window().recentMenu().items()[1]->trigger();
        QCOMPARE(script.texts, QStringList{"This file is not exit!"});
        QCOMPARE(itemTexts(rig_->window()).size(), 7);
        QVERIFY(!itemTexts(rig_->window()).join(' ').contains("9.tbl"));

        QDir().mkpath(rig_->path("other"));
        writeTable(rig_->path("other/x.tbl"), 1000010);
        rig_->window().openFile(rig_->path("other/x.tbl").toStdString());
        QString startedIn;
        script.actions.push_back([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            if (!dialog) return false;
            startedIn = dialog->directory().absolutePath();
            dialog->reject();
            return true;
        });
        rig_->window().mnuLBFF_Click();
        QCOMPARE(startedIn, QDir::cleanPath(rig_->path("other")));  // Qt names it with /
    }

    // A settings file that cannot be read is set aside with one message and
    // written anew; the choices then reach it without a warning.
    void anUnreadableSettingsFileIsSetAside() {
        QByteArray noise;
        for (int i = 0; i < 4096; ++i)
            noise.append(static_cast<char>((i * 7919 + 13) % 256));
        GuiRig fresh(true, startedPager(), noise);
        ModalScript script;
        fresh.window().startUp();
        QCOMPARE(script.texts.size(), 1);
        QVERIFY2(script.texts.front().contains("could not be read"),
                 qPrintable(script.texts.front()));
        QFile aside(fresh.settingsFile() + ".unreadable");
        QVERIFY(aside.open(QIODevice::ReadOnly));
        QCOMPARE(aside.readAll(), noise);
        QVERIFY(!fresh.window().action("mnuFastRead")->isChecked());
        fresh.window().action("mnuFastRead")->trigger();
        QCOMPARE(script.texts.size(), 1);
        QVERIFY(ui::WindowSettings(fresh.settingsFile()).fastRead());
    }

    // A value this version did not write reads as never chosen.
    void aValueThatIsNotOursReadsAsTheDefault_data() {
        QTest::addColumn<QByteArray>("settings");
        QTest::newRow("fast read banana") << QByteArray("[pager]\nfastRead=banana\n");
        QTest::newRow("fast read 1") << QByteArray("[pager]\nfastRead=1\nbackupBeforeWrite=yes\n");
        QTest::newRow("board") << QByteArray("[pager]\nboard=serial\n");
        QTest::newRow("relative recent file") << QByteArray("[files]\nrecent=pager.tbl\n");
    }
    void aValueThatIsNotOursReadsAsTheDefault() {
        QFETCH(QByteArray, settings);
        GuiRig fresh(true, startedPager(), settings);
        ModalScript script;
        fresh.window().startUp();
        QCOMPARE(script.texts, QStringList{});
        QVERIFY(!fresh.window().action("mnuFastRead")->isChecked());
        QVERIFY(!fresh.window().action("mnuBackup")->isChecked());
        QVERIFY(fresh.window().action("mnuUsb")->isChecked());
        QVERIFY(!fresh.window().recentMenu().items().front()->isVisible());
    }
};

}  // namespace kxp40s::testing

QTEST_MAIN(kxp40s::testing::FilesTest)
#include "files_test.moc"
