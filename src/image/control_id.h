#pragma once

#include <compare>
#include <optional>
#include <string>
#include <string_view>

namespace kxp40s {

struct ControlInfo;

// The key code of Enter, as the key handlers of the entry boxes receive it.
inline constexpr int kEnterKey = 13;

// A control of the program's windows, named as the window names it: the
// control array and the index in it (`chkCtl`(17), `txtPrompt`(30)); single
// controls carry index -1 (`cboLogo`). Every face and every test speaks of
// controls this way.
//
// Only controls of the catalogue (image/control_catalogue.h) can be named:
// a name it does not know, an index outside the array, or an index on a
// single control throws std::out_of_range, so that a misspelt name cannot
// quietly become a control of its own. The name is the catalogue's own.
class ControlId {
  public:
    ControlId(std::string_view name, int index = -1);

    // "txtAddr(3)" or "cboDft" as text() writes it; nullopt for anything
    // that does not name a control of the catalogue.
    static std::optional<ControlId> parse(std::string_view text);

    std::string_view name() const;
    int index() const { return index_; }
    std::string text() const {
        const std::string name(this->name());
        return index_ < 0 ? name : name + "(" + std::to_string(index_) + ")";
    }

    // The catalogue numbers its names in alphabetical order: controls
    // compare as their names and indexes do, without comparing texts.
    auto operator<=>(const ControlId&) const = default;

  private:
    friend const ControlInfo& controlInfo(ControlId id);

    int nameNumber_;  // the name's place in the catalogue's alphabetical list
    int index_;
};

// The four pages of the main window, by their tab captions.
enum class Page { FreqCodes, AlertsStatus, PromptsEdit, SourcePrompts };

std::string_view pageCaption(Page page);

}  // namespace kxp40s
