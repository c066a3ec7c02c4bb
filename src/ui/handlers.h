#pragma once

#include <functional>
#include <optional>
#include <string_view>

#include "editors/session.h"
#include "image/control_catalogue.h"

namespace kxp40s::ui {

// The core operations behind one control array's events. `index` is the
// control's index in its array (-1 for a single control); a Click carries
// the check box's value (0/1) or the list's new index.
struct Handlers {
    std::function<Effects(Session&, int index, int value)> click = {};
    std::function<Effects(Session&, int index)> gotFocus = {};
    std::function<Effects(Session&, int index, int keyAscii)> keyPress = {};
    std::function<Effects(Session&, int index, std::string_view text)> keyUp = {};
    std::function<Effects(Session&, int index)> lostFocus = {};
    // A LostFocus that stores the box's text as it stands when it runs.
    std::function<Effects(Session&, int index, std::string_view text)> lostFocusWithText = {};
    // The dialog a Click opens once its operation has run.
    std::optional<Window> opens = {};
};

// The handlers of control array `name`; nullptr for a control without any.
const Handlers* handlersOf(std::string_view name);

// How many of its catalogue items a list offers now (the band list grows
// at start-up); nullopt: all of them.
std::optional<int> listLength(ControlId id, const Session& s);

// Of two controls that lie at one place, the one in front now (the channel
// selector of the band shown); nullopt: none.
std::optional<ControlId> inFront(const Session& s);

}  // namespace kxp40s::ui
