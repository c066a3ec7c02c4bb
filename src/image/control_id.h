#pragma once

#include <compare>
#include <string>
#include <string_view>

namespace kxp40s {

// A control of the main window, named as the window names it: the control
// array and the index in it (`chkCtl`(17), `txtPrompt`(30)); single controls
// carry index -1 (`cboLogo`). Every face and every test speaks of controls
// this way.
struct ControlId {
    std::string_view name;
    int index = -1;

    auto operator<=>(const ControlId&) const = default;
    std::string text() const {
        return index < 0 ? std::string(name)
                         : std::string(name) + "(" + std::to_string(index) + ")";
    }
};

// The four pages of the main window, by their tab captions.
enum class Page { FreqCodes, AlertsStatus, PromptsEdit, SourcePrompts };

std::string_view pageCaption(Page page);

}  // namespace kxp40s
