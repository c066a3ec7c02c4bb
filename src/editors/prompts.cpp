#include "editors/prompts.h"

namespace kxp40s {

void Set_PromptEd_Width(Session&) {}
void read_prompt(Session&) {}
void read_SourcePrompt(Session&) {}

}  // namespace kxp40s
