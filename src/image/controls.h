#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "image/control_id.h"
#include "image/message.h"

namespace kxp40s {

// What a control shows: a check box's value (0/1), a list's index (-1 for no
// item), a text box's or label's text (UTF-8); whether it is visible and
// enabled; a text box's maximum length (0: none) and weight.
struct ControlState {
    int value = 0;
    std::string text;
    bool visible = true;
    bool enabled = true;
    int maxLength = 0;
    bool bold = false;

    bool operator==(const ControlState&) const = default;
};

// The window's controls as the core sees them. The core keeps what every
// control shows, so that rules like "leave the list as it was" live here and
// not in a face. Every change is recorded so that an operation can tell the
// face which controls to refresh.
class Controls {
  public:
    const ControlState& operator[](ControlId id) const;

    void setValue(ControlId id, int value);
    void setText(ControlId id, std::string text);
    void setVisible(ControlId id, bool visible);
    void setEnabled(ControlId id, bool enabled);
    void setStyle(ControlId id, int maxLength, bool bold);

    // Puts every control back to what `earlier` showed; those that differ
    // count as changed.
    void restore(const Controls& earlier);

    // The controls changed since the last call, in the order of first change.
    std::vector<ControlId> takeChanged();
    const std::vector<ControlId>& changed() const { return changed_; }

  private:
    ControlState& edit(ControlId id);
    std::map<ControlId, ControlState> states_;
    std::vector<ControlId> changed_;
};

// What a face must do after an operation; empty members mean "nothing".
struct Effects {
    std::vector<Message> messages;   // to show in this order, each modal
    bool refused = false;            // the entry was not taken; the image is unchanged
    std::vector<ControlId> changed;  // refresh these from Controls
    std::optional<ControlId> focus;  // where the focus goes
};

}  // namespace kxp40s
