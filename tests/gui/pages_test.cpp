#include <QAbstractButton>
#include <QCheckBox>
#include <QMenu>

#include "gui_rig.h"
#include "ui/widgets/about.h"
#include "ui/widgets/eb_slider.h"

namespace kxp40s::testing {

// The Alerts, Prompts Edit and Source Prompts pages as a user works them.
class PagesTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { ui::prepareApplication(*qApp); }
    void init() {
        rig_ = std::make_unique<GuiRig>();
        QVERIFY(rig_->start());
    }
    void cleanup() { rig_.reset(); }

    // Moving the slider shows its value and marks the contrast changed only
    // when it leaves the loaded value.
    void theSliderShowsItsValueAndMarksAChange() {
        rig_->window().showPage(Page::AlertsStatus);
        auto* slider = rig_->widget<ui::EBSlider>({"Slider1"});
        QVERIFY(slider);
        const int loaded = rig_->app().session().ContrastLoaded;
        QCOMPARE(slider->value(), loaded);
        QVERIFY(!rig_->app().session().ContrastChanged);
        const int other = loaded == kContrastRange.max ? loaded - 1 : loaded + 1;
        slider->setFocus();
        QTest::keyClick(slider, loaded == kContrastRange.max ? Qt::Key_Left : Qt::Key_Right);
        rig_->settle();
        QCOMPARE(slider->value(), other);
        QCOMPARE(rig_->text({"lblValue"}), QString::number(other));
        QVERIFY(rig_->app().session().ContrastChanged);
    }

    // "Direct" shows "Direct Show Lamp On"; "Push Key Lamp On Enable" shows
    // the RD key options.
    void optionsShowTheBoxesThatDependOnThem() {
        rig_->window().showPage(Page::AlertsStatus);
        QWidget* directLamp = rig_->widget({"chkCtl", 20});
        for (const int item : {1, 0, 1}) {
            rig_->choose({"cboCtl", 3}, item);
            rig_->settle();
            QCOMPARE(directLamp->isVisible(), item == 1);
        }
        auto* pushKeyLamp = rig_->widget<QCheckBox>({"chkCtl", 17});
        for (int round = 0; round < 2; ++round) {
            pushKeyLamp->click();
            rig_->settle();
            QCOMPARE(rig_->widget({"chkCtl", 21})->isVisible(), pushKeyLamp->isChecked());
        }
    }

    // A prompt box takes what Windows-1252 can hold and nothing else.
    void promptBoxesTakeOnlyWindows1252() {
        rig_->window().showPage(Page::PromptsEdit);
        auto* box = rig_->widget<QLineEdit>({"txtPrompt", 1});
        QVERIFY(box);
        box->clear();
        struct Case {
            const char* typed;
            const char* kept;
        };
        for (const Case& c :
             {Case{"NO PAGES", "NO PAGES"}, Case{"\xc3\xbc\xe2\x82\xac", "\xc3\xbc\xe2\x82\xac"},
              Case{"A\xd0\x96\xe2\x98\x83", "A"}}) {
            box->clear();
            for (const QChar ch : QString::fromUtf8(c.typed))
                box->insert(QString(ch));
            QCOMPARE(box->text(), QString::fromUtf8(c.kept));
        }
    }

    // "Prompt Control" enables the enable boxes; each enables its prompt.
    void sourcePromptsFollowTheirControls() {
        rig_->window().showPage(Page::SourcePrompts);
        rig_->choose({"cboSource"}, 0);
        rig_->settle();
        QVERIFY(!rig_->widget({"chkSource", 33})->isEnabled());
        QVERIFY(!rig_->widget({"txtPrompt", 33})->isEnabled());
        rig_->choose({"cboSource"}, 1);
        rig_->settle();
        auto* check = rig_->widget<QCheckBox>({"chkSource", 33});
        QVERIFY(check->isEnabled());
        if (check->isChecked()) check->click();
        rig_->settle();
        QVERIFY(!rig_->widget({"txtPrompt", 33})->isEnabled());
        check->click();
        rig_->settle();
        QVERIFY(rig_->widget({"txtPrompt", 33})->isEnabled());
    }

    void helpAboutOpensTheAboutWindow() {
        ModalScript script;
        bool seen = false;
        script.actions.push_back([&](QWidget* modal) {
            auto* about = qobject_cast<ui::AboutWindow*>(modal);
            if (!about) return false;
            seen = true;
            about->accept();
            return true;
        });
        QAction* item = rig_->window().action("mnuAbout");
        QVERIFY(item && item->isEnabled());
        item->trigger();
        QVERIFY(seen);
    }

    // Write mode locks exactly the entries; Space then writes the pager.
    void writeModeLocksTheEntriesAndSpaceWrites() {
        rig_->widget<QAbstractButton>({"WriteOpt"})->click();
        for (const auto& [id, w] : std::map<ControlId, QWidget*>(lockable())) {
            const std::string_view name = id.name();
            const bool entry = name.starts_with("txt") || name.starts_with("opt") ||
                               name.starts_with("cbo") || name.starts_with("chk") ||
                               name.starts_with("cmd");
            if (entry) QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
        }
        for (const char* name : {"EMoptStatus", "ModifyOpt", "WriteOpt", "Slider1"})
            QVERIFY2(rig_->widget({name})->isEnabled(), name);
        ModalScript script;
        QTest::keyClick(&rig_->window(), Qt::Key_Space);
        QVERIFY(!script.texts.isEmpty());
        rig_->widget<QAbstractButton>({"ModifyOpt"})->click();
        QVERIFY(rig_->widget({"txtAddr", 0})->isEnabled());
    }

  private:
    std::map<ControlId, QWidget*> lockable() {
        std::map<ControlId, QWidget*> found;
        for (const ControlInfo* info : windowControls(Window::Form1)) {
            for (const ControlId id : info->ids()) {
                if (QWidget* w = rig_->window().widget(id); w && w->window() == &rig_->window())
                    found.emplace(id, w);
            }
        }
        return found;
    }
    std::unique_ptr<GuiRig> rig_;
};

}  // namespace kxp40s::testing

QTEST_MAIN(kxp40s::testing::PagesTest)
#include "pages_test.moc"
