#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "editors/session.h"
#include "image/control_catalogue.h"

namespace kxp40s {

// The item of a stored language code: 0, 1 or 2 English, 5 Spanish, 6 French,
// 8 German, 11 Danish, 15 Swedish; nullopt for any other code.
std::optional<int> languageIndexOfCode(int code);

// Loaders called by init_ctl.
void read_prompt(Session& s);
void read_SourcePrompt(Session& s);
void Set_PromptEd_Width(Session& s);
void read_logo(Session& s);      // the logo list from &H3F
void read_language(Session& s);  // the language list from &H3E, copying no table

// The prompt boxes. A box's text is stored only when it loses the focus.
Effects txtPrompt_GotFocus(Session& s, int index);
Effects txtPrompt_KeyPress(Session& s, int index, int& keyAscii);  // Enter moves the focus away
Effects txtPrompt_LostFocus(Session& s, int index, std::string_view text);

// The alignment buttons: index 1 is the group beside the logo box, the
// others act on the prompt box that last had the focus.
Effects optLeft_Click(Session& s, int index);
Effects optCenter_Click(Session& s, int index);
Effects optRight_Click(Session& s, int index);

// "Load Default": the focused prompt's record from the selected language's tables.
Effects optDefault_Click(Session& s, int index);

Effects cboLng_Click(Session& s, int listIndex);
Effects cboLogo_Click(Session& s, int listIndex);
Effects cboSource_Click(Session& s, int listIndex);

}  // namespace kxp40s
