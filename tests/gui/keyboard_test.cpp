#include <QAction>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>

#include "editors/capcodes.h"
#include "files/table_file.h"
#include "gui_rig.h"

namespace kxp40s::testing {

namespace {

QString nameOf(const QWidget* w) {
    return w ? w->objectName() : QStringLiteral("(none)");
}

// A sibling raised over `w` at its very place hides it from the eye.
bool isCovered(const QWidget* w) {
    const QObjectList& siblings = w->parentWidget()->children();
    for (qsizetype i = siblings.indexOf(w) + 1; i < siblings.size(); ++i) {
        const auto* other = qobject_cast<const QWidget*>(siblings[i]);
        if (other && other->isVisible() && other->geometry().contains(w->geometry())) return true;
    }
    return false;
}

}  // namespace

// The window worked from the keyboard alone.
class KeyboardTest : public GuiTest {
    Q_OBJECT

  private slots:
    // A text box takes none of the menus' keys for itself (Ctrl+A would
    // select all, Ctrl+E go to the end); the half-typed entry is taken
    // first, as when the mouse reaches for the menu.
    void theMenusKeysWinInsideATextBox_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("effect");
        QTest::newRow("Ctrl+O") << int(Qt::Key_O) << int(Qt::ControlModifier) << "open dialog";
        QTest::newRow("Ctrl+S") << int(Qt::Key_S) << int(Qt::ControlModifier) << "saved";
        QTest::newRow("Ctrl+A") << int(Qt::Key_A) << int(Qt::ControlModifier) << "save dialog";
        QTest::newRow("Ctrl+E") << int(Qt::Key_E) << int(Qt::ControlModifier) << "ended";
        QTest::newRow("F3") << int(Qt::Key_F3) << 0 << "Read success!";
        QTest::newRow("F4") << int(Qt::Key_F4) << 0 << "Verify Success!";
        QTest::newRow("F9") << int(Qt::Key_F9) << 0 << "transfer";
    }
    void theMenusKeysWinInsideATextBox() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, effect);
        ModalScript script;
        QString dialogSeen;
        script.actions.push_back([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            if (!dialog) return false;
            dialogSeen =
                dialog->acceptMode() == QFileDialog::AcceptOpen ? "open dialog" : "save dialog";
            dialog->reject();
            return true;
        });
        const int frames = rig_->pager().framesReceived();
        rig_->type({"txtAddr", 1}, "8");
        QWidget* box = rig_->widget({"txtAddr", 1});
        QVERIFY(box->hasFocus());
        QTest::keyClick(box, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        rig_->settle();

        if (effect.endsWith("dialog")) {
            QTRY_COMPARE(dialogSeen, effect);
        } else if (effect == "saved") {
            const TableRead saved = readTableFile(rig_->path("default.tbl").toStdString());
            QVERIFY(saved.image);
            QCOMPARE(capcodeOf(*saved.image, 1), 8);
        } else if (effect == "ended") {
            QVERIFY(!rig_->window().isVisible());
            QCOMPARE(rig_->pager().controlState(), 'r');
        } else if (effect == "transfer") {
            QVERIFY(rig_->pager().framesReceived() > frames);
        } else {
            QCOMPARE(script.texts, QStringList{effect});
        }
        if (effect != "Read success!" && effect != "ended")
            QCOMPARE(capcodeOf(rig_->app().session().ConfigImage, 1), 8);
    }

    // Alt and a menu's letter open it; the item's letter chooses the item.
    void accessKeysReachTheMenusAndTheirItems_data() {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<int>("menuKey");
        QTest::addColumn<int>("itemKey");
        QTest::addColumn<QString>("item");
        QTest::newRow("File > Save") << "mnuFile" << int(Qt::Key_F) << int(Qt::Key_S) << "mnuSBTF";
        QTest::newRow("Pager > Fast Read")
            << "mnuPager" << int(Qt::Key_P) << int(Qt::Key_F) << "mnuFastRead";
        QTest::newRow("Pager > Backup Before Write")
            << "mnuPager" << int(Qt::Key_P) << int(Qt::Key_B) << "mnuBackup";
        QTest::newRow("Board > Parallel Port Board")
            << "mnuBoard" << int(Qt::Key_B) << int(Qt::Key_P) << "mnuLpt";
        QTest::newRow("Help > About")
            << "mnuHelp" << int(Qt::Key_H) << int(Qt::Key_A) << "mnuAbout";
        QTest::newRow("File > Exit") << "mnuFile" << int(Qt::Key_F) << int(Qt::Key_X) << "mnuExit";
    }
    void accessKeysReachTheMenusAndTheirItems() {
        QFETCH(QString, menu);
        QFETCH(int, menuKey);
        QFETCH(int, itemKey);
        QFETCH(QString, item);
        ModalScript script;
        script.actions.push_back([](QWidget* modal) {
            if (modal->objectName() != "frmAbout") return false;
            QTest::keyClick(modal, Qt::Key_Escape);
            return true;
        });
        QAction* action = rig_->window().action(item.toStdString());
        QSignalSpy chosen(action, &QAction::triggered);
        rig_->type({"txtFreq"}, "");
        QTest::keyClick(rig_->widget({"txtFreq"}), Qt::Key(menuKey), Qt::AltModifier);
        QMenu* opened = rig_->window().menu(menu.toStdString());
        QTRY_VERIFY(opened->isVisible());
        QTest::keyClick(opened, Qt::Key(itemKey));
        QTRY_COMPARE(chosen.size(), 1);
        QTRY_VERIFY(!QApplication::activeModalWidget());
    }

    // Every menu and every item of one can be chosen by a letter.
    void everyMenuItemHasAnAccessKey() {
        ModalScript script;
        rig_->window().mnuSBTF_Click();
        rig_->window().openFile(rig_->path("default.tbl").toStdString());
        QVERIFY(rig_->window().recentMenu().items().front()->isVisible());
        QCOMPARE(script.texts, QStringList{});
        for (QAction* top : rig_->window().menuBar()->actions()) {
            QVERIFY2(!QKeySequence::mnemonic(top->text()).isEmpty(), qPrintable(top->text()));
            for (QAction* item : top->menu()->actions()) {
                if (item->isSeparator() || !item->isVisible()) continue;
                QVERIFY2(!QKeySequence::mnemonic(item->text()).isEmpty(),
                         qPrintable(item->objectName() + " " + item->text()));
            }
        }
    }

    // The page keys go round the four pages, from a text box too.
    void thePageKeysGoRoundThePages_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("step");
        QTest::newRow("Ctrl+Tab") << int(Qt::Key_Tab) << int(Qt::ControlModifier) << 1;
        QTest::newRow("Ctrl+PgDn") << int(Qt::Key_PageDown) << int(Qt::ControlModifier) << 1;
        QTest::newRow("Ctrl+Shift+Tab")
            << int(Qt::Key_Backtab) << int(Qt::ControlModifier | Qt::ShiftModifier) << -1;
        QTest::newRow("Ctrl+PgUp") << int(Qt::Key_PageUp) << int(Qt::ControlModifier) << -1;
    }
    void thePageKeysGoRoundThePages() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, step);
        rig_->type({"txtFreq"}, "");
        const auto pages = pageTabs();
        int page = 0;
        for (std::size_t press = 0; press < pages.size(); ++press) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key(key),
                            Qt::KeyboardModifiers(modifiers));
            page = (page + step + 4) % 4;
            QWidget* box = rig_->widget(pages[static_cast<std::size_t>(page)].box);
            QVERIFY(box->isVisible());
            QVERIFY(box->hasFocus());
        }
        QCOMPARE(page, 0);
    }

    // Tab runs along each capcode's row: its box, its ON box, its
    // function-bit button, then the next capcode.
    void tabRunsAlongEachCapcodeRow() {
        rig_->type({"txtAddr", 0}, "");
        QStringList visited;
        for (int slot = 0; slot < 8; ++slot) {
            if (slot > 0) visited << nameOf(QApplication::focusWidget());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << nameOf(QApplication::focusWidget());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << nameOf(QApplication::focusWidget());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QStringList expected;
        for (int slot = 0; slot < 8; ++slot) {
            if (slot > 0) expected << QString("txtAddr(%1)").arg(slot);
            expected << QString("chkCtl(%1)").arg(30 + slot) << QString("cmdFunc(%1)").arg(slot);
        }
        QCOMPARE(visited, expected);
    }

    // Tab visits only what can be seen, each control showing that it has
    // the focus, and comes round to the first it visited. (The source
    // prompts take the keyboard once they are enabled.)
    void theTabChainHoldsWhatIsShownAndShowsTheFocus_data() {
        QTest::addColumn<int>("page");
        for (const PageTab& tab : pageTabs())
            QTest::newRow(tab.box.text().c_str()) << static_cast<int>(tab.page);
    }
    void theTabChainHoldsWhatIsShownAndShowsTheFocus() {
        QFETCH(int, page);
        rig_->window().showPage(static_cast<Page>(page));
        if (page == static_cast<int>(Page::SourcePrompts)) rig_->choose({"cboSource"}, 1);
        QWidget* start = QApplication::focusWidget();
        QVERIFY(start);
        QWidget* first = nullptr;
        int steps = 0;
        for (; steps < 400; ++steps) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget* w = QApplication::focusWidget();
            if (w == first) break;
            if (!first) first = w;
            QVERIFY2(w && w->isVisible() && w->window() == &rig_->window(), qPrintable(nameOf(w)));
            QVERIFY2(!isCovered(w), qPrintable("hidden beneath another: " + nameOf(w)));
            const QImage focused = w->grab().toImage();
            start->setFocus(Qt::TabFocusReason);
            const QImage plain = w->grab().toImage();
            w->setFocus(Qt::TabFocusReason);
            QVERIFY2(focused != plain, qPrintable("no visible focus: " + nameOf(w)));
        }
        QVERIFY2(steps > 10 && steps < 400, qPrintable(QString::number(steps)));
    }
};

}  // namespace kxp40s::testing

QTEST_MAIN(kxp40s::testing::KeyboardTest)
#include "keyboard_test.moc"
