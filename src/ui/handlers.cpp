#include "ui/handlers.h"

#include <map>

#include "editors/alerts.h"
#include "editors/capcodes.h"
#include "editors/frequency.h"
#include "editors/pager_menu.h"
#include "editors/prompts.h"
#include "editors/tagged.h"

namespace kxp40s::ui {

namespace {

using Index = int;

// A single control's Click takes no index.
template <class Op>
auto single(Op op) {
    return [op](Session& s, Index, int value) { return op(s, value); };
}

// A button whose Click carries no value.
template <class Op>
auto pressed(Op op) {
    return [op](Session& s, Index i, int) { return op(s, i); };
}

const std::map<std::string_view, Handlers>& table() {
    static const std::map<std::string_view, Handlers> kTable = {
        {"txtAddr",
         {.gotFocus = txtAddr_GotFocus,
          .keyPress = txtAddr_KeyPress,
          .keyUp = txtAddr_KeyUp,
          .lostFocus = txtAddr_LostFocus}},
        {"txtFreq",
         {.gotFocus = [](Session& s, Index) { return txtFreq_GotFocus(s); },
          .keyPress = [](Session& s, Index, int key) { return txtFreq_KeyPress(s, key); },
          .keyUp = [](Session& s, Index, std::string_view text) { return txtFreq_KeyUp(s, text); },
          .lostFocus = [](Session& s, Index) { return txtFreq_LostFocus(s); }}},
        {"cboDft", {.click = single(cboDft_Click)}},
        {"cboChannel", {.click = cboChannel_Click}},
        {"cboRoHS", {.click = single(cboRoHS_Click)}},
        {"cboCtl", {.click = cboCtl_Click}},
        {"chkCtl", {.click = chkCtl_Click}},
        {"optAuto1", {.click = single(optAuto1_Click)}},
        {"optAuto2", {.click = single(optAuto2_Click)}},
        {"cmdFunc",
         {.click = [](Session& s, Index i, int) { return cmdFunc_Click(s, i); },
          .opens = Window::Form5}},
        {"cboDisp", {.click = cboDisp_Click}},
        {"cboType", {.click = cboType_Click}},
        {"chkPri", {.click = chkPri_Click}},
        {"cmdAlert",
         {.click = [](Session& s, Index, int) { return cmdAlert_Click(s); },
          .opens = Window::Form6}},
        {"cboPersonal", {.click = single(cboPersonal_Click)}},
        {"cboMailAler", {.click = cboMailAler_Click}},
        {"cboTone", {.click = single(cboTone_Click)}},
        {"cboBatLev", {.click = cboBatLev_Click}},
        {"Slider1", {.click = single(Slider1_Change)}},
        {"txtPass",
         {.gotFocus = [](Session& s, Index) { return txtPass_GotFocus(s); },
          .keyPress = [](Session& s, Index, int key) { return txtPass_KeyPress(s, key); },
          .keyUp = [](Session& s, Index, std::string_view text) { return txtPass_KeyUp(s, text); },
          .lostFocus = [](Session& s, Index) { return txtPass_LostFocus(s); }}},
        {"chkMenu", {.click = chkMenu_Click}},
        {"cboSLC", {.click = single(cboSLC_Click)}},
        {"cboORC", {.click = single(cboORC_Click)}},
        {"txtPrompt",
         {.gotFocus = txtPrompt_GotFocus,
          .keyPress = [](Session& s, Index i, int key) { return txtPrompt_KeyPress(s, i, key); },
          .lostFocusWithText = txtPrompt_LostFocus}},
        {"optLeft", {.click = pressed(optLeft_Click)}},
        {"optCenter", {.click = pressed(optCenter_Click)}},
        {"optRight", {.click = pressed(optRight_Click)}},
        {"optDefault", {.click = pressed(optDefault_Click)}},
        {"cboLng", {.click = single(cboLng_Click)}},
        {"cboLogo", {.click = single(cboLogo_Click)}},
        {"cboSource", {.click = single(cboSource_Click)}},
        {"chkSource", {.click = chkSource_Click}},
    };
    return kTable;
}

}  // namespace

std::optional<ControlId> inFront(const Session& s) {
    return channelSelector(s.controls[ControlId{"cboDft"}].value);
}

const Handlers* handlersOf(std::string_view name) {
    const auto& t = table();
    const auto it = t.find(name);
    return it == t.end() ? nullptr : &it->second;
}

std::optional<int> listLength(ControlId id, const Session& s) {
    if (id == ControlId{"cboDft"}) return s.cboDftItems;
    return std::nullopt;
}

}  // namespace kxp40s::ui
