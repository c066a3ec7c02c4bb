#include "editors/pager_menu.h"

namespace kxp40s {

void read_SLC(Session&) {}
void read_ORC(Session&) {}
void read_menu(Session&) {}

}  // namespace kxp40s
