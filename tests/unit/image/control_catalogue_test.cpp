#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <stdexcept>

#include "image/control_catalogue.h"
#include "image/controls.h"
#include "image/field_map.h"

namespace kxp40s {
namespace {

TEST(ControlIds, NamesAndIndexesOutsideTheCatalogueThrowBeforeAnythingChanges) {
    struct Case {
        const char* name;
        int index;
    };
    const Case unknown[] = {
        {"txtAdr", 0},     {"txtaddr", 0},    {"", -1},           {"txtAddr", -1},
        {"txtAddr", 8},    {"cboDft", 0},     {"chkCtl", 9},      {"chkCtl", 55},
        {"txtPrompt", 66}, {"txtPrompt", 67}, {"cboChannel", -1}, {"lblLength", 16},
    };
    Controls controls;
    for (const auto& c : unknown) {
        SCOPED_TRACE(std::string(c.name) + "(" + std::to_string(c.index) + ")");
        EXPECT_THROW(static_cast<void>(ControlId(c.name, c.index)), std::out_of_range);
        EXPECT_THROW(controls.setValue({c.name, c.index}, 1), std::out_of_range);
        EXPECT_EQ(findControl(c.name, c.index), nullptr);
    }
    EXPECT_TRUE(controls.changed().empty());
}

TEST(ControlIds, KeepTheCataloguesNameNotTheCallers) {
    std::string name = "txtPrompt";
    const ControlId id{name, 68};
    name = "overwritten";
    EXPECT_EQ(id.name(), "txtPrompt");
    EXPECT_EQ(id, (ControlId{"txtPrompt", 68}));
    EXPECT_EQ(id.name().data(), controlInfo(id).name.data());
}

TEST(ControlIds, ParseTheirTextAndNothingElse) {
    const char* notControls[] = {"bogus",
                                 "txtAddr",
                                 "txtAddr(",
                                 "txtAddr()",
                                 "txtAddr(-1)",
                                 "txtAddr(+3)",
                                 "txtAddr(3)x",
                                 "txtAddr(3",
                                 "cboDft(0)",
                                 "chkCtl(9)",
                                 " cboDft",
                                 "txtAddr(99999999999)",
                                 "cboDft(99999999999)"};
    for (const char* text : notControls) {
        SCOPED_TRACE(text);
        EXPECT_EQ(ControlId::parse(text), std::nullopt);
    }
    for (const ControlInfo& row : controlCatalogue()) {
        for (const ControlId& id : row.ids()) {
            SCOPED_TRACE(id.text());
            EXPECT_EQ(ControlId::parse(id.text()), id);
            EXPECT_EQ(&controlInfo(id), &row);
        }
    }
}

TEST(Catalogue, EveryContainerIsAControlOfTheSameWindow) {
    for (const ControlInfo& row : controlCatalogue()) {
        SCOPED_TRACE(row.name);
        if (row.kind == ControlKind::Form) continue;
        const ControlInfo* container = findControl(row.container);
        if (!container) container = findControl(row.container, 0);
        ASSERT_NE(container, nullptr) << row.container;
        EXPECT_EQ(container->window, row.window);
        EXPECT_EQ(row.items.empty(), row.kind != ControlKind::ComboBox);
    }
}

TEST(Catalogue, ListsWindowsAndPagesInOrderFromTheirOwnControl) {
    for (const Window window : {Window::Form1, Window::Form2, Window::Form5, Window::Form6,
                                Window::frmSplash, Window::frmAbout}) {
        const auto rows = windowControls(window);
        ASSERT_FALSE(rows.empty());
        EXPECT_EQ(rows.front()->kind, ControlKind::Form);
        EXPECT_EQ(rows.front()->name, windowName(window));
    }
    std::size_t onPages = 0;
    for (const PageTab& tab : pageTabs()) {
        const auto rows = pageControls(tab.page);
        onPages += rows.size();
        EXPECT_EQ(ControlId{rows.front()->name}, tab.box);
        EXPECT_EQ(controlInfo(tab.button).kind, ControlKind::CommandButton);
        EXPECT_EQ(pageCaption(tab.page), controlInfo(tab.label).caption);
    }
    std::size_t main = 0;
    for (const ControlInfo* row : windowControls(Window::Form1))
        main += row->page ? 1 : 0;
    EXPECT_EQ(onPages, main);
}

// A few of the window's texts, quoted as the window shows them.
TEST(Catalogue, HoldsTheWindowsOwnTexts) {
    struct Case {
        ControlId control;
        std::string_view caption;
        std::string_view toolTip;
    };
    const Case cases[] = {
        {{"txtAddr", 0},
         "Cap #1",
         "Please input 1st Capcode( 7 Dec digits between 8 and 2097151 )"},
        {{"chkCtl", 35}, "ON", "Enable or disable the 6th Capcode( address )"},
        {{"chkCtl", 6},
         "Lowcell Alert ON",
         "The pager emits an alert when it enters a low-battery contion."},
        {{"cmdFunc", 7}, "Fun. Bit", "Click to set function bit( A B C D ) message control."},
        {{"optAuto2"},
         "2nd Capcode Auto Increase",
         "2nd capcode always increments by one after writed"},
        {{"EMoptStatus"}, "Alert && Status", ""},
        {{"Label15", 0}, "Alerts && Status", ""},
        {{"mnuEB1"}, "Verfy", ""},
        {{"cboCtl", 4}, "Reminder Duration", ""},
        {{"lblPrompt", 17}, "DELETE?", " Small Font ( Less than 19 characters ) "},
        {{"lblPrompt", 64}, "Cap#8 Fun.Bit D", " Small Font ( Less than 19 characters ) "},
        {{"cboMailAler", 14}, "Mail Drop F", ""},
        {{"chkPri", 2}, "Fun. Bit C", ""},
        {{"Form6"}, "Personal and Mail Drop Status Control", ""},
        {{"lblAuto1"}, " 1st capcode : ", ""},
        {{"lblClass", 0}, "PG", ""},
        {{"lblClass", 10}, "MA", ""},
        {{"lblClass", 15}, "MF", ""},
        {{"lblProduct"}, "KXP40S(USB) Programmer", ""},
        {{"lblTitle"}, "KXP40S(USB) Pager Programmer", ""},
        {{"lblVersion"}, "Version 5.12(2011.3.1)", ""},
        {{"lblUsedFor"}, " This program can be used for", ""},
        {{"lblModel"}, "  model KXP40", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.control.text());
        EXPECT_EQ(controlInfo(c.control).caption, c.caption);
        EXPECT_EQ(controlInfo(c.control).toolTip, c.toolTip);
    }
    EXPECT_EQ(controlInfo({"cboLogo"}).items[2], "Spainish");
    EXPECT_EQ(controlInfo({"cboPersonal"}).items.back(), "continuos");
    EXPECT_EQ(controlInfo({"cboType", 3}).items.size(), 17u);
    EXPECT_EQ(controlInfo({"mnuEB1"}).shortcut, "F9");
    EXPECT_EQ(controlInfo({"txtAddr", 7}).maxLength, 7);
    EXPECT_EQ(controlInfo({"txtPass"}).range, (ValueRange{0, 9999}));
    EXPECT_EQ(controlInfo({"Slider1"}).range, (ValueRange{1, 8}));
}

TEST(Catalogue, BoundFieldsAndPromptBoxesShowTheirControlsTexts) {
    for (const BoundField& field : boundFields()) {
        SCOPED_TRACE(field.control.text());
        const ControlInfo& info = controlInfo(field.control);
        EXPECT_EQ(field.caption, info.caption);
        EXPECT_EQ(field.toolTip, info.toolTip);
        EXPECT_TRUE(std::ranges::equal(field.items, info.items));
        EXPECT_EQ(field.page, info.page);
    }
    for (const PromptBox& box : promptBoxes()) {
        SCOPED_TRACE(box.index);
        const ControlId label =
            box.index == 0 ? ControlId{"txtPrompt", 0} : ControlId{"lblPrompt", box.index};
        EXPECT_EQ(box.label, controlInfo(label).caption);
        EXPECT_EQ(box.page, controlInfo({"txtPrompt", box.index}).page);
    }
}

// Every menu and menu item is chosen by a letter of its caption, one that
// no neighbour on the same menu (or the menu bar) takes.
TEST(Catalogue, MenusAndTheirItemsHaveAccessKeysOfTheirOwn) {
    std::map<std::string_view, std::set<char>> taken;  // by container
    for (const ControlInfo& row : controlCatalogue()) {
        if ((row.kind != ControlKind::Menu && row.kind != ControlKind::MenuItem) ||
            row.caption == "-")
            continue;
        SCOPED_TRACE(row.name);
        ASSERT_NE(row.accessKey, 0);
        const char key = static_cast<char>(std::toupper(static_cast<unsigned char>(row.accessKey)));
        EXPECT_NE(row.caption.find(row.accessKey), std::string::npos) << "a letter of the caption";
        EXPECT_TRUE(taken[row.container].insert(key).second) << "taken twice: " << key;
    }
}

// Every control a user can work has a name for assistive technology that no
// other control on its page (or dialog) has.
TEST(Catalogue, ControlsAUserWorksHaveNamesOfTheirOwn) {
    const std::set<ControlKind> worked = {ControlKind::TextBox,       ControlKind::ComboBox,
                                          ControlKind::CheckBox,      ControlKind::OptionButton,
                                          ControlKind::CommandButton, ControlKind::Slider,
                                          ControlKind::CloseBox,      ControlKind::ProgressBar};
    std::map<std::pair<Window, int>, std::set<std::string>> names;
    for (const ControlInfo& row : controlCatalogue()) {
        if (!worked.contains(row.kind)) continue;
        const int page = row.page ? static_cast<int>(*row.page) : -1;
        std::set<std::string>& onPage = names[std::pair(row.window, page)];
        for (const ControlId id : row.ids()) {
            SCOPED_TRACE(id.text());
            const std::string name = accessibleName(row);
            EXPECT_FALSE(name.empty());
            EXPECT_EQ(name.find("&&"), std::string::npos);
            EXPECT_TRUE(onPage.insert(name).second) << "twice: " << name;
        }
    }
    EXPECT_EQ(accessibleName(*findControl("txtAddr", 2)), "Capcode 3");
    EXPECT_EQ(accessibleName(*findControl("cmdFunc", 0)), "Function bits of capcode 1");
    EXPECT_EQ(accessibleName(*findControl("txtPrompt", 24)), "MESSAGE AREA");
    EXPECT_EQ(accessibleName(*findControl("picSet1")), "Freq. & Codes");
}

TEST(Controls, ListsStartWithNoItemAndEverythingElseAtZero) {
    const Controls controls;
    for (const ControlInfo& row : controlCatalogue()) {
        for (const ControlId& id : row.ids()) {
            SCOPED_TRACE(id.text());
            EXPECT_EQ(controls[id].value, row.kind == ControlKind::ComboBox ? -1 : 0);
        }
    }
}

}  // namespace
}  // namespace kxp40s
