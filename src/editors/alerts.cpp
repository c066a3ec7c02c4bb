#include "editors/alerts.h"

namespace kxp40s {

void read_contrast(Session&) {}
void read_BatLev(Session&) {}
void read_Alert(Session&) {}
void read_SetAlarm(Session&) {}

}  // namespace kxp40s
