#include "editors/settings.h"

namespace kxp40s {

void addCapcodeSettings(std::vector<SettingDef>&) {}

}  // namespace kxp40s
