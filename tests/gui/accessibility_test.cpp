#include <QAccessible>
#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <set>

#include "gui_rig.h"
#include "ui/widgets/about.h"
#include "ui/widgets/eb_slider.h"

namespace kxp40s::testing {

namespace {

bool isWorked(const QAccessibleInterface& control) {
    static const std::set<QAccessible::Role> kWorked = {
        QAccessible::PushButton,  QAccessible::CheckBox,     QAccessible::RadioButton,
        QAccessible::ComboBox,    QAccessible::EditableText, QAccessible::Slider,
        QAccessible::ProgressBar, QAccessible::MenuItem,     QAccessible::ButtonMenu};
    return kWorked.contains(control.role()) || control.state().focusable;
}

// What a screen reader finds in `root`: every control shown that a user
// can work, with the name it reads.
void collectWorked(QAccessibleInterface* root, QList<QAccessibleInterface*>& found) {
    for (int i = 0; i < root->childCount(); ++i) {
        QAccessibleInterface* child = root->child(i);
        if (!child || child->state().invisible) continue;
        if (isWorked(*child)) found << child;
        collectWorked(child, found);
    }
}

QString describe(QAccessibleInterface* control) {
    QObject* object = control->object();
    return QString("%1 (role %2)")
        .arg(object ? object->objectName() : QString("?"))
        .arg(static_cast<int>(control->role()));
}

QAccessibleInterface* accessibleOf(QWidget* w) {
    return QAccessible::queryAccessibleInterface(w);
}

}  // namespace

// The window as assistive technology sees and works it.
class AccessibilityTest : public GuiTest {
    Q_OBJECT

  private slots:
    // No control a user works is without a name, and no two on one page or
    // dialog share one: eight capcode boxes are not all "Capcode( Decimal
    // Address )", nor eight check boxes all "ON".
    void everyControlHasANameOfItsOwn_data() {
        QTest::addColumn<QString>("where");
        for (const PageTab& tab : pageTabs())
            QTest::newRow(tab.box.text().c_str()) << QString::fromStdString(tab.box.text());
        for (const char* dialog : {"Form2", "Form5", "Form6", "frmAbout"})
            QTest::newRow(dialog) << dialog;
    }
    void everyControlHasANameOfItsOwn() {
        QFETCH(QString, where);
        if (where == "picSet6") rig_->choose({"cboSource"}, 1);  // its prompts enabled
        std::unique_ptr<ui::AboutWindow> about;
        QWidget* root = shown(where, about);
        QVERIFY(root);
        QList<QAccessibleInterface*> worked;
        collectWorked(accessibleOf(root), worked);
        QVERIFY(!worked.isEmpty());
        std::map<QString, QString> names;
        for (QAccessibleInterface* control : worked) {
            const QString name = control->text(QAccessible::Name);
            QVERIFY2(!name.trimmed().isEmpty(), qPrintable("no name: " + describe(control)));
            const auto [at, added] = names.emplace(name, describe(control));
            QVERIFY2(
                added,
                qPrintable(
                    QString("\"%1\" names %2 and %3").arg(name, at->second, describe(control))));
        }
    }

    // What assistive technology reads of the window's kinds of control: a
    // check box's name and description, a list's name (not its item), the
    // slider's name. (The catalogue's tests check the names themselves.)
    void theNamesSayWhatEachControlIs_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("description");
        QTest::newRow("capcode on") << "chkCtl(30)"
                                    << "Capcode 1 on"
                                    << "Enable or disable the 1st Capcode( address )";
        QTest::newRow("range") << "cboDft"
                               << "Range Of Frequency"
                               << "";
        QTest::newRow("contrast") << "Slider1"
                                  << "Contrast"
                                  << "";
    }
    void theNamesSayWhatEachControlIs() {
        QFETCH(QString, control);
        QFETCH(QString, name);
        QFETCH(QString, description);
        QAccessibleInterface* a =
            accessibleOf(rig_->widget(*ControlId::parse(control.toStdString())));
        QCOMPARE(a->text(QAccessible::Name), name);
        if (!description.isEmpty()) QCOMPARE(a->text(QAccessible::Description), description);
    }

    // A control changes the image through the one operation whatever moves
    // it: the mouse, the keyboard, or assistive technology's actions, value
    // and text; what is shown is what gets written.
    void everyWayOfWorkingAControlChangesTheImage_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("way");
        QTest::addColumn<QString>("reference");
        const int codes = static_cast<int>(Page::FreqCodes);
        const int alerts = static_cast<int>(Page::AlertsStatus);
        const int prompts = static_cast<int>(Page::PromptsEdit);
        QTest::newRow("check box, Space") << "chkCtl(30)" << codes << "Space"
                                          << "mouse";
        QTest::newRow("check box, toggle action") << "chkCtl(30)" << codes << "toggle"
                                                  << "mouse";
        QTest::newRow("alert option, toggle action") << "chkCtl(0)" << alerts << "toggle"
                                                     << "mouse";
        QTest::newRow("option button, Space") << "optRight(0)" << prompts << "Space"
                                              << "mouse";
        QTest::newRow("option button, press action") << "optRight(0)" << prompts << "press"
                                                     << "mouse";
        QTest::newRow("slider, value") << "Slider1" << alerts << "value"
                                       << "Right";
        QTest::newRow("slider, increase action") << "Slider1" << alerts << "increase"
                                                 << "Right";
        QTest::newRow("text box, replaced text") << "txtAddr(1)" << codes << "text"
                                                 << "typed";
    }
    void everyWayOfWorkingAControlChangesTheImage() {
        QFETCH(QString, control);
        QFETCH(int, page);
        QFETCH(QString, way);
        QFETCH(QString, reference);
        const ControlId id = *ControlId::parse(control.toStdString());
        const auto changed = [&](const QString& how) {
            rig_->window().showPage(static_cast<Page>(page));
            // An alignment button aligns the prompt box last entered.
            if (control.startsWith("optRight")) rig_->type({"txtPrompt", 1}, "AB");
            const Image before = rig_->app().session().ConfigImage;
            work(id, how);
            const Image after = rig_->app().session().ConfigImage;
            return before == after ? std::nullopt : std::optional<Image>(after);
        };
        const auto byReference = changed(reference);
        QVERIFY(byReference);
        QVERIFY(restart());
        const auto byWay = changed(way);
        QVERIFY2(byWay, "the image did not change");
        QVERIFY(*byWay == *byReference);
        QVERIFY2(showsWhatTheCoreKeeps(id), "what is shown is not what is kept");
    }

    // A dialog worked through assistive technology alone: its button,
    // a check box in it, and its OK.
    void theFunctionBitDialogIsWorkedByActions() {
        ModalScript script;
        script.actions.push_back([](QWidget* modal) {
            if (modal->objectName() != "Form5") return false;
            const auto act = [&](const char* name, const QString& action) {
                accessibleOf(modal->findChild<QWidget*>(name))->actionInterface()->doAction(action);
            };
            act("chkPri(2)", QAccessibleActionInterface::toggleAction());
            act("Command1", QAccessibleActionInterface::pressAction());
            return true;
        });
        accessibleOf(rig_->widget({"cmdFunc", 3}))
            ->actionInterface()
            ->doAction(QAccessibleActionInterface::pressAction());
        QTRY_VERIFY(script.actions.empty());
        QTRY_COMPARE(rig_->text({"tlblPri", 3}), QString("--v-"));
    }

    // A control Write mode locks takes no action either.
    void writeModeLocksAgainstActionsToo() {
        rig_->widget<QAbstractButton>({"WriteOpt"})->click();
        const Image before = rig_->app().session().ConfigImage;
        work({"chkCtl", 30}, "toggle");
        work({"txtAddr", 1}, "text");
        QVERIFY(rig_->app().session().ConfigImage == before);
    }

  private:
    bool showsWhatTheCoreKeeps(ControlId id) {
        const ControlState& kept = rig_->app().session().controls[id];
        QWidget* w = rig_->widget(id);
        // An option button is a command: the core keeps no state of it.
        if (qobject_cast<QRadioButton*>(w)) return true;
        if (auto* button = qobject_cast<QAbstractButton*>(w))
            return button->isChecked() == (kept.value != 0);
        if (auto* slider = qobject_cast<ui::EBSlider*>(w)) return slider->value() == kept.value;
        if (auto* box = qobject_cast<QLineEdit*>(w)) return box->text().toStdString() == kept.text;
        return false;
    }

    // The page or dialog shown, as its button or tab shows it.
    QWidget* shown(const QString& where, std::unique_ptr<ui::AboutWindow>& about) {
        ui::MainWindow& main = rig_->window();
        for (const PageTab& tab : pageTabs()) {
            if (where.toStdString() != tab.box.text()) continue;
            main.showPage(tab.page);
            return &main;
        }
        QWidget* dialog = nullptr;
        if (where == "Form2") {
            dialog = &main.transferWindow();
        } else if (where == "frmAbout") {
            about = std::make_unique<ui::AboutWindow>(&main);
            dialog = about.get();
        } else {
            dialog = &main.dialog(where == "Form5" ? Window::Form5 : Window::Form6);
        }
        dialog->show();
        return QTest::qWaitForWindowExposed(dialog) ? dialog : nullptr;
    }

    void work(ControlId id, const QString& how) {
        QWidget* w = rig_->widget(id);
        QAccessibleInterface* a = accessibleOf(w);
        if (how == "mouse") {
            QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(4, w->height() / 2));
        } else if (how == "Space" || how == "Right") {
            w->setFocus(Qt::TabFocusReason);
            QTest::keyClick(w, how == "Space" ? Qt::Key_Space : Qt::Key_Right);
        } else if (how == "typed") {
            rig_->type(id, "8");
            rig_->enter(id);
        } else if (how == "text") {
            const int length = a->textInterface()->characterCount();
            a->editableTextInterface()->replaceText(0, length, "8");
        } else if (how == "value") {
            a->valueInterface()->setCurrentValue(a->valueInterface()->currentValue().toInt() + 1);
        } else if (how == "increase") {
            a->actionInterface()->doAction(QAccessibleActionInterface::increaseAction());
        } else {
            const QString action = how == "toggle" ? QAccessibleActionInterface::toggleAction()
                                                   : QAccessibleActionInterface::pressAction();
            a->actionInterface()->doAction(action);
            QTest::qWait(150);  // a press is shown before it clicks
        }
        rig_->settle();
    }
};

}  // namespace kxp40s::testing

QTEST_MAIN(kxp40s::testing::AccessibilityTest)
#include "accessibility_test.moc"
