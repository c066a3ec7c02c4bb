#include <QAbstractButton>
#include <QCheckBox>
#include <QMenu>

#include "files/table_file.h"
#include "gui_rig.h"
#include "image/field_map.h"
#include "image/prompt_record.h"
#include "image/text.h"
#include "ui/widgets/about.h"
#include "ui/widgets/eb_slider.h"

namespace kxp40s::testing {

// The Alerts, Prompts Edit and Source Prompts pages as a user works them.
class PagesTest : public GuiTest {
    Q_OBJECT

  private slots:
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
            for (const int rdKey : {3, 21}) {
                QVERIFY2(rig_->widget({"chkCtl", rdKey})->isVisible() == pushKeyLamp->isChecked(),
                         qPrintable(QString("chkCtl(%1) in round %2").arg(rdKey).arg(round)));
            }
        }
    }

    // The tone list shows only while "Set Alert Off" is checked; unchecking
    // it hides the list and puts "Music 1" back, whatever tone was chosen.
    void theToneListFollowsTheAlertMenuEntry() {
        rig_->window().showPage(Page::AlertsStatus);
        auto* setAlertOff = rig_->widget<QCheckBox>({"chkMenu", 6});
        auto* tone = rig_->widget<QComboBox>({"cboTone"});
        if (!setAlertOff->isChecked()) {
            setAlertOff->click();
            rig_->settle();
        }
        QVERIFY(tone->isVisible());
        rig_->choose({"cboTone"}, 12);  // "Vibration"
        rig_->settle();
        QCOMPARE(imageByte(kToneAddress), 32);
        setAlertOff->click();
        rig_->settle();
        QVERIFY(!tone->isVisible());
        QCOMPARE(tone->currentText(), QString("Music 1"));
        QCOMPARE(imageByte(kToneAddress), 17);
        setAlertOff->click();
        rig_->settle();
        QVERIFY(tone->isVisible());
        QCOMPARE(tone->currentText(), QString("Music 1"));
    }

    // Each choice is stored; a choice that leaves Low < Med < High (strictly)
    // is answered by the warning, and stays stored all the same.
    void batteryLevelsOutOfOrderAreWarnedOfButKept() {
        rig_->window().showPage(Page::AlertsStatus);
        {
            ModalScript script;  // from whatever order start-up left
            for (const auto& [level, item] : {std::pair{0, 10}, {1, 5}, {2, 0}})
                rig_->choose({"cboBatLev", level}, item);
        }
        struct Choice {
            int level;
            int item;
            int stored;
            bool warns;
        };
        for (const Choice& c : {Choice{1, 10, 162, true},                           // Med = Low
                                Choice{1, 5, 201, false}, Choice{2, 5, 201, true},  // High = Med
                                Choice{2, 0, 235, false}, Choice{0, 0, 235, true},  // Low above all
                                Choice{0, 12, 149, false}, Choice{2, 12, 149, true}}) {
            ModalScript script;
            rig_->choose({"cboBatLev", c.level}, c.item);
            rig_->settle();
            const QString choice = QString("cboBatLev(%1) item %2").arg(c.level).arg(c.item);
            QVERIFY2(imageByte(kBatteryLow + c.level) == c.stored, qPrintable(choice));
            QVERIFY2(script.texts == (c.warns ? QStringList{kBatteryWarning} : QStringList{}),
                     qPrintable(choice + ": " + script.texts.join(" | ")));
            if (c.warns) {
                QCOMPARE(script.titles, QStringList{"KXP40"});
                QCOMPARE(script.icons.front(), QMessageBox::Critical);
            }
        }
    }

    // Gauge bytes out of order in a table file are warned of once, as the
    // lists are filled.
    void aTableFileWithLevelsOutOfOrderIsWarnedOfOnOpening() {
        Image image = rig_->app().session().ConfigImage;
        for (const auto& [level, gauge] : {std::pair{0, 235}, {1, 227}, {2, 220}})
            image.set(kBatteryLow + level, static_cast<std::uint8_t>(gauge));
        const QString file = rig_->path("levels.tbl");
        QVERIFY(!writeTableFile(file.toStdString(), image));
        ModalScript script;
        QVERIFY(rig_->app().openTableFile(file.toStdString()));
        QCOMPARE(script.texts, QStringList{kBatteryWarning});
        QCOMPARE(rig_->text({"cboBatLev", 0}), QString("1.58V"));
        QCOMPARE(rig_->text({"cboBatLev", 2}), QString("1.48V"));
        QCOMPARE(imageByte(kBatteryLow), 235);
    }

    // The same for a pager that holds them so.
    void aPagerWithLevelsOutOfOrderIsWarnedOfOnReading() {
        Image image = startedImage();
        image.set(kBatteryLow, 201);
        image.set(kBatteryLow + 1, 201);
        QVERIFY(restartOnPager(image));
        ModalScript script;
        rig_->window().action("mnuEntire")->trigger();
        QVERIFY2(script.texts.count(kBatteryWarning) == 1, qPrintable(script.texts.join(" | ")));
        QVERIFY(script.texts.contains("Read success!"));
        QCOMPARE(rig_->text({"cboBatLev", 1}), QString("1.35V"));
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

    // An alignment button re-pads the prompt box that had the focus and
    // gives the focus back to it; leaving the box stores the padded text
    // (byte 0 counts at most 15 spaces, the rest go before the letters).
    void alignmentPadsTheFocusedPrompt_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("shownSpaces");
        QTest::addColumn<int>("countedSpaces");
        QTest::addColumn<QByteArray>("characters");
        QTest::newRow("right") << "optRight" << 18 << 15 << QByteArray("   ABC");
        QTest::newRow("center") << "optCenter" << 9 << 9 << QByteArray("ABC");
        QTest::newRow("left") << "optLeft" << 0 << 0 << QByteArray("ABC");
    }
    void alignmentPadsTheFocusedPrompt() {
        QFETCH(QString, button);
        QFETCH(int, shownSpaces);
        QFETCH(int, countedSpaces);
        QFETCH(QByteArray, characters);
        rig_->window().showPage(Page::PromptsEdit);
        const ControlId prompt{"txtPrompt", 9};
        auto* box = rig_->widget<QLineEdit>(prompt);
        retype(prompt, "  ABC");
        QTest::mouseClick(rig_->widget({button.toStdString(), 0}), Qt::LeftButton);
        rig_->settle();
        const QString padded = QString(shownSpaces, ' ') + "ABC";
        QCOMPARE(box->text(), padded);
        QTRY_VERIFY(box->hasFocus());
        rig_->enter(prompt);
        rig_->settle();
        const int address = promptBox(prompt.index()).address;
        const int count = static_cast<int>(characters.size());
        QCOMPARE(imageByte(address) & 0x0F, countedSpaces);
        QCOMPARE(imageByte(address + 1), count);
        const auto stored = rig_->app().session().ConfigImage.read(address + 2, count);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(stored.data()), count), characters);
        QCOMPARE(box->text(), padded);
    }

    // The buttons beside the logo box align it, whichever prompt had the focus.
    void theLogoButtonsAlignTheLogoBox() {
        rig_->window().showPage(Page::AlertsStatus);
        rig_->choose({"cboLogo"}, 0);  // "English(Large)": 16 characters
        const ControlId logo{"txtPrompt", 0};
        retype(logo, "ABC");
        rig_->enter(logo);
        const ControlId messageArea{"txtPrompt", 24};
        const QString untouched = rig_->text(messageArea);
        QTest::mouseClick(rig_->widget(messageArea), Qt::LeftButton);
        QTest::mouseClick(rig_->widget({"optRight", 1}), Qt::LeftButton);
        rig_->settle();
        QCOMPARE(rig_->text(logo), QString(13, ' ') + "ABC");
        QTRY_VERIFY(rig_->widget(logo)->hasFocus());
        rig_->enter(logo);
        rig_->settle();
        QCOMPARE(imageByte(promptBox(0).address) & 0x0F, 13);
        QCOMPARE(rig_->text(messageArea), untouched);
    }

    // "Load Default" restores the prompt that last had the focus from the
    // selected language's table, and no other.
    void loadDefaultRestoresTheLastFocusedPrompt() {
        rig_->window().showPage(Page::AlertsStatus);
        rig_->choose({"cboLng"}, 2);  // French
        rig_->settle();
        rig_->window().showPage(Page::PromptsEdit);
        const ControlId restored{"txtPrompt", 5};
        const ControlId other{"txtPrompt", 6};
        retype(other, "OTHER");
        rig_->enter(other);
        retype(restored, "MINE");
        rig_->enter(restored);  // the focus leaves it before the button is pressed
        rig_->settle();
        QTest::mouseClick(rig_->widget({"optDefault", 0}), Qt::LeftButton);
        rig_->settle();
        const int address = promptBox(restored.index()).address;
        const auto french =
            std::span(defaultTables().PromptsFrench)
                .subspan(static_cast<std::size_t>(address - kPromptSetAddress), kPromptRecordSize);
        const auto record = rig_->app().session().ConfigImage.read(address, kPromptRecordSize);
        QVERIFY(std::equal(record.begin(), record.end(), french.begin(), french.end()));
        QCOMPARE(rig_->text(restored), shownText(address));
        QCOMPARE(rig_->text(other), QString("OTHER"));
        QTRY_VERIFY(rig_->widget(restored)->hasFocus());
    }

    // Another language rewrites the prompts on every page: each box shows
    // what the image now holds for its record.
    void aLanguageChangeReloadsEveryPromptBox() {
        std::map<int, QString> before;
        for (const PromptBox& box : promptBoxes())
            before[box.index] = rig_->text({"txtPrompt", box.index});
        const int current = rig_->widget<QComboBox>({"cboLng"})->currentIndex();
        rig_->choose({"cboLng"}, current == 3 ? 2 : 3);  // German, or French from German
        rig_->settle();
        int changed = 0;
        for (const PromptBox& box : promptBoxes()) {
            const ControlId id{"txtPrompt", box.index};
            const QString shown = rig_->text(id);
            QVERIFY2(shown == shownText(box.address) &&
                         shown == ui::qText(rig_->app().session().controls[id].text),
                     qPrintable(QString::fromStdString(id.text()) + " shows " + shown));
            if (shown != before[box.index]) ++changed;
        }
        QVERIFY2(changed >= 20, qPrintable(QString::number(changed)));
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
    static constexpr int kToneAddress = 0x2E;
    static constexpr int kBatteryLow = 0x8D;         // then Med and High
    static constexpr int kPromptSetAddress = 0x100;  // where a language's prompt table goes
    static inline const QString kBatteryWarning =
        "Waring ! You must let ( Level-High > Level-Med > Level-Low ).";

    int imageByte(int address) { return rig_->app().session().ConfigImage.at(address); }
    // The text the prompt record at `address` gives its box.
    QString shownText(int address) {
        return ui::qText(
            windows1252ToUtf8(shownPromptText(rig_->app().session().ConfigImage, address)));
    }
    // Clicks into the box and types `keys` over its whole text.
    void retype(ControlId id, const QString& keys) {
        auto* box = rig_->widget<QLineEdit>(id);
        QTest::mouseClick(box, Qt::LeftButton);
        rig_->settle();
        box->selectAll();
        QTest::keyClicks(box, keys);
    }
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
};

}  // namespace kxp40s::testing

QTEST_MAIN(kxp40s::testing::PagesTest)
#include "pages_test.moc"
