#include "image/controls.h"

#include <algorithm>
#include <utility>

namespace kxp40s {

const ControlState& Controls::operator[](ControlId id) const {
    static const ControlState kUntouched;
    const auto it = states_.find(id);
    return it == states_.end() ? kUntouched : it->second;
}

ControlState& Controls::edit(ControlId id) {
    if (std::find(changed_.begin(), changed_.end(), id) == changed_.end()) changed_.push_back(id);
    return states_[id];
}

void Controls::setValue(ControlId id, int value) { edit(id).value = value; }
void Controls::setText(ControlId id, std::string text) { edit(id).text = std::move(text); }
void Controls::setVisible(ControlId id, bool visible) { edit(id).visible = visible; }
void Controls::setEnabled(ControlId id, bool enabled) { edit(id).enabled = enabled; }

std::vector<ControlId> Controls::takeChanged() { return std::exchange(changed_, {}); }

}  // namespace kxp40s
