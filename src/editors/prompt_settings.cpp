#include "editors/settings.h"

namespace kxp40s {

void addPromptSettings(std::vector<SettingDef>&) {}

}  // namespace kxp40s
