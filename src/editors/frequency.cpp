#include "editors/frequency.h"

namespace kxp40s {

void read_BaseFreq(Session&) {}
void read_freq(Session&) {}
void DetectBand(Session&) {}

}  // namespace kxp40s
