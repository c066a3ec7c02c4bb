#include "editors/tagged.h"

#include "image/binding.h"

namespace kxp40s {

Effects chkCtl_Click(Session& s, int index, int value) {
    Operation op(s);
    storeCheckBox(s.ConfigImage, s.controls, index, value);
    return op.done();
}

Effects cboCtl_Click(Session& s, int index, int listIndex) {
    Operation op(s);
    storeList(s.ConfigImage, s.controls, index, listIndex);
    return op.done();
}

Effects chkSource_Click(Session& s, int index, int value) {
    Operation op(s);
    storeSourceEnable(s.ConfigImage, s.controls, index, value);
    return op.done();
}

}  // namespace kxp40s
