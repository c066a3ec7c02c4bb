#pragma once

#include "editors/session.h"

namespace kxp40s {

// Loaders called by init_ctl.
void Set_PromptEd_Width(Session& s);
void read_prompt(Session& s);
void read_SourcePrompt(Session& s);

}  // namespace kxp40s
