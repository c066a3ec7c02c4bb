#include "editors/capcodes.h"

namespace kxp40s {

void read_capcode(Session&) {}
void read_Disp(Session&) {}
void read_Type(Session&) {}
void read_Pri(Session&) {}
void read_pass(Session&) {}

}  // namespace kxp40s
