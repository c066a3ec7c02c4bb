#include "editors/settings.h"

namespace kxp40s {

void addMenuSettings(std::vector<SettingDef>&) {}

}  // namespace kxp40s
