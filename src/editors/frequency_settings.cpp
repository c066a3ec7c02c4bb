#include "editors/settings.h"

namespace kxp40s {

void addFrequencySettings(std::vector<SettingDef>&) {}

}  // namespace kxp40s
