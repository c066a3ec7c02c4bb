#include "ui/handlers.h"

#include <map>

#include "editors/alerts.h"
#include "editors/capcodes.h"
#include "editors/frequency.h"
#include "editors/tagged.h"

namespace kxp40s::ui {

namespace {

using Index = int;

// A single control's Click takes no index.
template <class Op>
auto single(Op op) {
    return [op](Session& s, Index, int value) { return op(s, value); };
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
