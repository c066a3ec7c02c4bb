#include "editors/settings.h"

namespace kxp40s {

void addTaggedSettings(std::vector<SettingDef>&) {}

}  // namespace kxp40s
