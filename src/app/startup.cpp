#include "app/startup.h"

#include "editors/frequency.h"
#include "editors/prompts.h"
#include "image/default_tables.h"

namespace kxp40s {

namespace {

constexpr int kLogoBox = 0;
constexpr int kDefaultBand = 2;

void storeStartLogo(Session& s) {
    s.FormReady = false;
    s.controls.setText({"txtPrompt", kLogoBox}, kStartLogoText);
    s.controls.setStyle({"txtPrompt", kLogoBox}, 16, true);
    optCenter_Click(s, 1);
    txtPrompt_LostFocus(s, kLogoBox, s.controls[{"txtPrompt", kLogoBox}].text);
    s.FormReady = true;
}

void setChannelSelectors(Session& s) {
    cboRoHS_Click(s, kStep5KHz);
    cboChannel_Click(s, 0, kStep5KHz);
}

}  // namespace

std::string startCaption() {
    return std::string(kTitle) + " USB KAVION";
}

Effects startBeforeBoard(Session& s) {
    Operation op(s);
    s.FreqEntryError = false;
    s.controls.setText({"Form1"}, startCaption());
    return op.done();
}

Effects startEditors(Session& s) {
    Operation op(s);
    storeStartLogo(s);
    setChannelSelectors(s);
    addRoHSBand(s);
    return op.done();
}

Effects selectDefaultBand(Session& s) {
    return cboDft_Click(s, kDefaultBand);
}

Effects useBuiltInTables(Session& s) {
    s.ConfigImage = defaultImage();
    return {};
}

Session startedSession() {
    Session s;
    startBeforeBoard(s);
    startEditors(s);
    selectDefaultBand(s);
    s.OldPagerFirmware = false;
    s.controls.takeChanged();
    return s;
}

Image startedImage() {
    return startedSession().ConfigImage;
}

}  // namespace kxp40s
