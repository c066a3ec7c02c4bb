#include "editors/settings.h"

namespace kxp40s {

void addAlertSettings(std::vector<SettingDef>&) {}

}  // namespace kxp40s
