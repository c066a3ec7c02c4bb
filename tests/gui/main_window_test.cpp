#include <QAbstractButton>
#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QMenu>
#include <QProgressBar>
#include <QSignalSpy>
#include <csignal>

#include "editors/capcodes.h"
#include "gui_rig.h"
#include "image/pager_map.h"

namespace kxp40s::testing {

namespace {

bool isAbove(QWidget* upper, QWidget* lower) {
    const QObjectList& siblings = upper->parentWidget()->children();
    return siblings.indexOf(upper) > siblings.indexOf(lower);
}

QString connectText() {
    return QString::fromUtf8(kBoardConnectText);
}

}  // namespace

class MainWindowTest : public GuiTest {
    Q_OBJECT

  private slots:
    // Start-up fills the page through init_ctl; the hidden PLL read-out is
    // kept current all the same.
    void startUpFillsThePage_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("shown");
        QTest::newRow("band") << "cboDft"
                              << "130-180MHz";
        QTest::newRow("baud") << "cboCtl(9)"
                              << "1200 bps";
        QTest::newRow("frequency") << "txtFreq"
                                   << "1530000";
        QTest::newRow("step") << "lblCHANNEL"
                              << "5KHz";
        QTest::newRow("channel") << "cboChannel(0)"
                                 << "5KHz";
        QTest::newRow("capcode 1") << "txtAddr(0)"
                                   << "1234567";
        QTest::newRow("capcode 8") << "txtAddr(7)"
                                   << "1234566";
        QTest::newRow("display") << "tlblDisp(0)"
                                 << "AAAA";
        QTest::newRow("type") << "tlblType(0)"
                              << "PPPP";
        QTest::newRow("priority") << "tlblPri(7)"
                                  << "----";
        QTest::newRow("PLL N") << "lblPLLN"
                               << "A9B0";
        QTest::newRow("PLL R") << "lblPLLR"
                               << "2801";
    }
    void startUpFillsThePage() {
        QFETCH(QString, control);
        QFETCH(QString, shown);
        const auto id = ControlId::parse(control.toStdString());
        QVERIFY(id);
        QCOMPARE(rig_->text(*id), shown);
        QVERIFY(!rig_->widget({"picPLL"})->isVisible());
        QCOMPARE(rig_->widget<QComboBox>({"cboDft"})->count(), 4);
        QCOMPARE(rig_->window().windowTitle(), QString("KXP40S V05.12 USB KAVION"));
        QVERIFY(rig_->window().timer1().isActive());
        QCOMPARE(rig_->window().timer1().interval(), 1000);
    }

    void theBandShowsItsOwnChannelSelectorInFront_data() {
        QTest::addColumn<int>("band");
        QTest::addColumn<QString>("inFront");
        QTest::newRow("929-932MHz") << 0 << "";
        QTest::newRow("130-180MHz") << 2 << "cboChannel(0)";
        QTest::newRow("130-180MHz-GP(RoHS)") << 3 << "cboRoHS";
    }
    void theBandShowsItsOwnChannelSelectorInFront() {
        QFETCH(int, band);
        QFETCH(QString, inFront);
        rig_->choose({"cboDft"}, band == 3 ? 2 : 3);  // from the other band's selector
        rig_->choose({"cboDft"}, band);
        QWidget* channel = rig_->widget({"cboChannel", 0});
        QWidget* rohs = rig_->widget({"cboRoHS"});
        if (inFront.isEmpty()) {
            QVERIFY(!channel->isVisible() && !rohs->isVisible());
            return;
        }
        QWidget* front = inFront == "cboRoHS" ? rohs : channel;
        QWidget* back = front == rohs ? channel : rohs;
        QVERIFY(front->isVisible());
        QVERIFY(!back->isVisible() || isAbove(front, back));
    }

    // A file of the GP(RoHS) band opened over the 130-180 MHz band: the
    // range list, its selector in front, and the caption with the path.
    void openingAFileReloadsThePageAndNamesItInTheCaption() {
        const QString file = rig_->path("rohs.tbl");
        rig_->choose({"cboDft"}, 3);
        {
            ModalScript script;
            script.actions.push_back(acceptFile(file));
            rig_->window().mnuSA_Click();
            QVERIFY(script.texts.isEmpty());
        }
        rig_->choose({"cboDft"}, 2);
        ModalScript script;
        script.actions.push_back(acceptFile(file));
        rig_->window().mnuLBFF_Click();
        QCOMPARE(rig_->text({"cboDft"}), QString("130-180MHz-GP(RoHS)"));
        QVERIFY(isAbove(rig_->widget({"cboRoHS"}), rig_->widget({"cboChannel", 0})));
        QCOMPARE(rig_->window().windowTitle(), "KXP40S V05.12 USB KAVION - [" + file + "]");
    }

    void aCapcodeBoxEmptiesOnEntryAndShowsTheStoredValueOnLeaving() {
        QTest::mouseClick(rig_->widget({"txtAddr", 2}), Qt::LeftButton);
        rig_->settle();
        QCOMPARE(rig_->text({"txtAddr", 2}), QString());
        QTest::mouseClick(rig_->widget({"txtAddr", 3}), Qt::LeftButton);
        rig_->settle();
        QCOMPARE(rig_->text({"txtAddr", 2}), QString("1234561"));
        QCOMPARE(rig_->text({"txtAddr", 3}), QString());
    }

    void aRefusedCapcodeIsAnsweredAndItsBoxKeepsTheFocus() {
        ModalScript script;
        rig_->type({"txtAddr", 0}, "12a");
        rig_->settle();
        QCOMPARE(script.texts, QStringList{"Please insert a numeric!"});
        QCOMPARE(script.titles, QStringList{"KXP40S V05.12"});
        QCOMPARE(script.icons.front(), QMessageBox::Warning);
        QTRY_VERIFY(rig_->widget({"txtAddr", 0})->hasFocus());
        // Each key release before the refusal was taken.
        QCOMPARE(rig_->text({"txtAddr", 0}), QString("0000012"));
    }

    // Enter leaves the box and so checks it; the refused text stays for
    // correcting, and a Write chosen then checks it again and does nothing.
    void aRefusedFrequencyStaysAndCancelsTheWrite() {
        ModalScript script;
        rig_->type({"txtFreq"}, "1299999");
        rig_->enter({"txtFreq"});
        rig_->settle();
        const QString rangeError = "Frequency setting error(1300000 < = Frequency < =1800000 )";
        QCOMPARE(script.texts, QStringList{rangeError});
        QTRY_VERIFY(rig_->widget({"txtFreq"})->hasFocus());
        QCOMPARE(rig_->text({"txtFreq"}), QString("1299999"));

        const int frames = rig_->pager().framesReceived();
        rig_->window().action("mnuEB")->trigger();
        QCOMPARE(script.texts, (QStringList{rangeError, rangeError}));
        QCOMPARE(rig_->pager().framesReceived(), frames);
        QVERIFY(!rig_->window().transferWindow().isVisible());
    }

    // Reaching for the menu crosses the tab strip: a half-typed capcode is
    // taken before any menu opens.
    void movingOverTheStripTakesAHalfTypedEntry() {
        rig_->type({"txtAddr", 1}, "8");
        QTest::mouseMove(rig_->widget({"picTabBack"}), QPoint(500, 5));
        rig_->settle();
        QCOMPARE(rig_->text({"txtAddr", 1}), QString("0000008"));
        QCOMPARE(capcodeOf(rig_->app().session().ConfigImage, 1), 8);
    }

    void theFunctionBitDialogStoresAtOnce() {
        ModalScript script;
        script.actions.push_back([](QWidget* modal) {
            if (modal->objectName() != "Form5") return false;
            auto* slot = modal->findChild<QLabel*>("lblCapSlot");
            if (!slot || slot->text() != "#4") return false;
            modal->findChild<QCheckBox*>("chkPri(2)")->click();
            modal->findChild<QPushButton*>("Command1")->click();
            return true;
        });
        QTest::mouseClick(rig_->widget({"cmdFunc", 3}), Qt::LeftButton);
        QTRY_VERIFY(script.actions.empty());
        QVERIFY(rig_->window().dialog(Window::Form5).windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(rig_->text({"tlblPri", 3}), QString("--v-"));
    }

    // The alert dialog's choices show in the page's summary while it is open.
    void theAlertDialogShowsEachChoiceAtOnce() {
        ModalScript script;
        QString summary;
        script.actions.push_back([&](QWidget* modal) {
            if (modal->objectName() != "Form6") return false;
            auto* third = modal->findChild<QComboBox*>("cboMailAler(2)");
            third->setCurrentIndex(1);  // "Beep"
            emit third->activated(1);
            summary = rig_->text({"lblLength", 3});
            modal->findChild<QAbstractButton*>("Close6")->click();
            return true;
        });
        QCOMPARE(rig_->text({"lblLength", 3}), QString("--"));
        QTest::mouseClick(rig_->widget({"cmdAlert"}), Qt::LeftButton);
        QTRY_VERIFY(script.actions.empty());
        QCOMPARE(summary, QString("BP"));
        QVERIFY(!rig_->window().dialog(Window::Form6).isVisible());
    }

    void theMonitorFollowsThePortList() {
        {
            ModalScript script;
            QVERIFY(restart(false));
            QCOMPARE(script.texts, QStringList{"The Programmed Board is not responding!"});
        }
        struct Step {
            bool listed;
            const char* text;
            QColor colour;
        };
        for (const Step& step :
             {Step{false, kBoardDisconnectText, Qt::red}, Step{true, kBoardConnectText, Qt::black},
              Step{false, kBoardDisconnectText, Qt::red}}) {
            rig_->listBoard(step.listed);
            rig_->window().Timer1_Timer();
            QLabel* status = rig_->window().statusLine();
            QCOMPARE(status->text(), QString::fromUtf8(step.text));
            QCOMPARE(status->palette().color(QPalette::WindowText), step.colour);
            QCOMPARE(rig_->window().menu("mnuPager")->menuAction()->isEnabled(), step.listed);
            QCOMPARE(rig_->window().action("mnuEB")->isEnabled(), step.listed);  // and F4 with it
        }
    }

    // A whole read and write from the Pager menu: the transfer window shows
    // its progress while the window stays alive, no other command starts
    // meanwhile, and the monitor runs again afterwards.
    void readAndWriteFromThePagerMenu() {
        Image image = startedImage();
        storeCapcode(image, 0, 1654321);
        QVERIFY(restartOnPager(image));
        rig_->window().Timer1_Timer();
        QCOMPARE(rig_->window().statusLine()->text(), connectText());

        ModalScript script;
        int progressSeen = 0;
        QTimer watch;
        connect(&watch, &QTimer::timeout, [&] {
            ui::TransferWindow& form2 = rig_->window().transferWindow();
            if (!form2.isVisible()) return;
            if (form2.findChild<QProgressBar*>("PB1")->value() > 0) ++progressSeen;
            rig_->window().action("mnuEntire")->trigger();  // must not start meanwhile
            QVERIFY(!rig_->window().timer1().isActive());
        });
        watch.start(1);
        rig_->window().action("mnuEntire")->trigger();
        QCOMPARE(script.texts, QStringList{"Read success!"});
        QCOMPARE(rig_->text({"txtAddr", 0}), QString("1654321"));

        rig_->type({"txtAddr", 1}, "1222222");
        QCOMPARE(rig_->text({"txtAddr", 1}), QString("1222222"));
        rig_->window().action("mnuEB")->trigger();
        watch.stop();
        QCOMPARE(script.texts, (QStringList{"Read success!", "Verify Success!"}));
        QCOMPARE(capcodeOf(rig_->pager().memory(), 1), 1222222);
        QVERIFY(progressSeen > 0);
        QVERIFY(!rig_->window().transferWindow().isVisible());
        QVERIFY(rig_->window().timer1().isActive());
    }

    // With auto-increase the transfer window stays open: each Write press
    // writes the next pager with the capcode counted up, Exit leaves.
    void aSeriesWritesPagerAfterPager() {
        rig_->widget<QCheckBox>({"optAuto1"})->click();
        ModalScript script;
        int writes = 0;
        const auto press = [&](const char* name) {
            return [&, name](QWidget* modal) {
                auto* button = modal->findChild<QPushButton*>(name);
                if (!button || !button->isVisible() || !button->isEnabled()) return false;
                if (std::string_view(name) == "cmdWrite") ++writes;
                button->click();
                return true;
            };
        };
        script.actions = {press("cmdWrite"), press("cmdWrite"), press("cmdExit")};
        rig_->window().action("mnuEB")->trigger();
        QCOMPARE(writes, 2);
        QCOMPARE(script.texts, (QStringList{"Verify Success!", "Verify Success!"}));
        QCOMPARE(capcodeOf(rig_->pager().memory(), 0), 1234568);
        QCOMPARE(rig_->text({"txtAddr", 0}), QString("1234569"));
        auto* label = rig_->window().transferWindow().findChild<QLabel*>("lblAuto1");
        QCOMPARE(label->text(), QString(" 1st capcode : 1234568"));
        QVERIFY(!rig_->window().transferWindow().isVisible());
    }

    // A stop signal during a write: the transfer ends at the next frame, no
    // message box waits for an answer, and the board is released.
    void aStopSignalDuringAWriteEndsItWithoutABox() {
        ModalScript script;
        const Image pagerBefore = rig_->pager().memory();
        QSignalSpy ended(&rig_->window(), &ui::MainWindow::ended);
        ui::TransferWindow& form2 = rig_->window().transferWindow();
        bool signalled = false;
        connect(form2.findChild<QProgressBar*>("PB1"), &QProgressBar::valueChanged, [&](int value) {
            const bool writing = form2.findChild<QLabel*>("Label1")->text().startsWith("Writing");
            if (signalled || !writing || value < 512) return;
            signalled = true;
            rig_->window().endOnSignal(SIGTERM);
        });
        rig_->type({"txtAddr", 1}, "1222222");
        rig_->window().action("mnuEB")->trigger();
        QVERIFY(signalled);
        QCOMPARE(script.texts, QStringList{});
        QCOMPARE(ended.size(), 1);
        QCOMPARE(ended.at(0).at(0).toInt(), 1);
        QCOMPARE(rig_->app().session().pagerState, PagerState::PartlyWritten);
        QCOMPARE(capcodeOf(rig_->pager().memory(), 1), 1222222);  // the first part went
        const auto tail = [](const Image& image) {
            const auto bytes = image.read(1024, 1024);
            return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
        };
        QVERIFY(tail(rig_->pager().memory()) == tail(pagerBefore));  // the last part did not
        QCOMPARE(rig_->pager().controlState(), 'r');
    }

    // A stop signal while a question is open answers it No: nothing is
    // written, and the program goes on to the release.
    void aStopSignalAnswersAnOpenQuestionNo() {
        Image empty = startedPager();
        for (int a = pager::kIdentity.address; a <= pager::kIdentity.last(); ++a)
            empty.set(a, 0xFF);
        QVERIFY(restart(true, empty));
        QStringList asked;
        QSignalSpy ended(&rig_->window(), &ui::MainWindow::ended);
        QTimer watch;
        connect(&watch, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !asked.isEmpty()) return;
            asked << box->text();
            rig_->window().endOnSignal(SIGINT);
        });
        watch.start(1);
        rig_->window().action("mnuEB")->trigger();
        watch.stop();
        QCOMPARE(asked, QStringList{"The program data is empty ! \nAre you sure overwrite it?"});
        QCOMPARE(rig_->pager().memory(), empty);
        QCOMPARE(rig_->pager().controlState(), 'r');
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(ended.size(), 1);
        QCOMPARE(ended.at(0).at(0).toInt(), 130);
    }

    void closingTheWindowReleasesTheBoard() {
        QCOMPARE(rig_->pager().controlState(), 's');
        rig_->window().close();
        QCOMPARE(rig_->pager().controlState(), 'r');
    }

    // The program's own start-up shows the window filled before the board
    // search, which can wait long on ports that never answer.
    void startUpShowsTheFilledWindowBeforeTheSearch() {
        GuiRig fresh;
        QString statusWhenShown;
        QString frequencyWhenShown;
        connect(&fresh.window(), &ui::MainWindow::shownOnScreen, this, [&] {
            QVERIFY(fresh.window().isVisible());
            statusWhenShown = fresh.window().statusLine()->text();
            frequencyWhenShown = fresh.text({"txtFreq"});
        });
        fresh.window().startUp();
        QCOMPARE(statusWhenShown, QString("Looking for the programmer board..."));
        QCOMPARE(frequencyWhenShown, QString("1530000"));
        QCOMPARE(fresh.window().statusLine()->text(), connectText());
    }

    // Fast Read, Backup Before Write and the board are kept for the next
    // start; choosing the other board releases this one and looks for that.
    void theWindowRemembersItsChoices() {
        QAction* fast = rig_->window().action("mnuFastRead");
        QAction* backup = rig_->window().action("mnuBackup");
        QVERIFY(fast->isCheckable() && backup->isCheckable());
        QVERIFY2(!fast->isChecked() && !backup->isChecked(), "both off on a first start");
        fast->trigger();
        backup->trigger();
        QVERIFY(rig_->app().fastRead() && rig_->app().backupBeforeWrite());

        rig_->window().action("mnuLpt")->trigger();
        QCOMPARE(rig_->app().board().kind(), BoardKind::Lpt);
        QCOMPARE(rig_->pager().controlState(), 'r');
        QCOMPARE(ui::WindowSettings(rig_->settingsFile()).board(), BoardKind::Lpt);
        {
            ui::MainWindow again(unstartedOptions(), rig_->settingsFile());
            QVERIFY(again.action("mnuFastRead")->isChecked());
            QVERIFY(again.action("mnuBackup")->isChecked());
            QVERIFY(again.app().fastRead() && again.app().backupBeforeWrite());
        }

        rig_->window().action("mnuUsb")->trigger();
        QCOMPARE(rig_->app().board().kind(), BoardKind::Usb);
        QCOMPARE(rig_->pager().controlState(), 's');
        QCOMPARE(rig_->window().statusLine()->text(), connectText());
        QVERIFY(rig_->window().action("mnuUsb")->isChecked());
    }

    // A choice that cannot be stored still holds for this run, and the
    // user is told.
    void aChoiceThatCannotBeKeptIsSaid() {
        QFile blocker(rig_->path("blocker"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        ui::MainWindow window(unstartedOptions(), rig_->path("blocker/kxp40s.ini"));
        ModalScript script;
        window.action("mnuBackup")->trigger();
        QVERIFY(window.app().backupBeforeWrite());
        QCOMPARE(script.texts.size(), 1);
        QVERIFY2(script.texts.front().contains("could not be kept for the next start"),
                 qPrintable(script.texts.front()));
    }

    // Each message box's buttons take the style's icons: made once, they
    // are painted and cached once, not once a box.
    void theStandardIconsAreMadeOnce() {
        QStyle* style = QApplication::style();
        for (const auto icon : {QStyle::SP_DialogOkButton, QStyle::SP_DialogYesButton,
                                QStyle::SP_DialogNoButton, QStyle::SP_MessageBoxWarning}) {
            QVERIFY(!style->standardIcon(icon).isNull());
            QCOMPARE(style->standardIcon(icon).cacheKey(), style->standardIcon(icon).cacheKey());
        }
    }

  private:
    AppOptions unstartedOptions() const {
        AppOptions options;
        options.programDirectory = rig_->path("").toStdString();
        options.keepBackups = false;
        return options;
    }

    // Answers a file dialog with `file`.
    static std::function<bool(QWidget*)> acceptFile(const QString& file) {
        return [file](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            if (!dialog) return false;
            // Typed into the name box, as the directory may still be loading.
            if (auto* name = dialog->findChild<QLineEdit*>("fileNameEdit")) name->setText(file);
            QMetaObject::invokeMethod(dialog, "accept");
            return !dialog->isVisible();  // not yet ready: again at the next look
        };
    }
};

}  // namespace kxp40s::testing

QTEST_MAIN(kxp40s::testing::MainWindowTest)
#include "main_window_test.moc"
