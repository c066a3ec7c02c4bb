#include "image/controls.h"

#include <algorithm>
#include <utility>

#include "image/control_catalogue.h"

namespace kxp40s {

namespace {

// Lists start with no item shown, everything else at 0 or empty.
const ControlState& untouched(ControlId id) {
    static const ControlState kUntouched;
    static const ControlState kUntouchedList = [] {
        ControlState state;
        state.value = -1;
        return state;
    }();
    return controlInfo(id).kind == ControlKind::ComboBox ? kUntouchedList : kUntouched;
}

}  // namespace

const ControlState& Controls::operator[](ControlId id) const {
    const auto it = states_.find(id);
    return it != states_.end() ? it->second : untouched(id);
}

ControlState& Controls::edit(ControlId id) {
    if (std::find(changed_.begin(), changed_.end(), id) == changed_.end()) changed_.push_back(id);
    return states_.try_emplace(id, untouched(id)).first->second;
}

void Controls::setValue(ControlId id, int value) {
    edit(id).value = value;
}
void Controls::setText(ControlId id, std::string text) {
    edit(id).text = std::move(text);
}
void Controls::setVisible(ControlId id, bool visible) {
    edit(id).visible = visible;
}
void Controls::setEnabled(ControlId id, bool enabled) {
    edit(id).enabled = enabled;
}
void Controls::setStyle(ControlId id, int maxLength, bool bold) {
    ControlState& state = edit(id);
    state.maxLength = maxLength;
    state.bold = bold;
}

void Controls::restore(const Controls& earlier) {
    std::vector<ControlId> ids;
    for (const auto& [id, state] : states_)
        ids.push_back(id);
    for (const auto& [id, state] : earlier.states_)
        ids.push_back(id);
    for (const ControlId id : ids) {
        if ((*this)[id] != earlier[id]) edit(id) = earlier[id];
    }
}

std::vector<ControlId> Controls::takeChanged() {
    return std::exchange(changed_, {});
}

}  // namespace kxp40s
