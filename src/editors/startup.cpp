#include "editors/startup.h"

#include "editors/frequency.h"
#include "editors/load_image.h"
#include "editors/prompts.h"

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

// A "default.tbl" that is there but refused is reported, and the window
// then shows the built-in defaults as if there were none.
bool openDefaultTable(Session& s, TableFileState& files) {
    std::error_code ec;
    if (!std::filesystem::exists(files.CurrentTableFile, ec)) return false;
    files.SilentFileCommand = true;
    const bool opened = openTable(s, files, std::nullopt);
    files.SilentFileCommand = false;
    return opened;
}

}  // namespace

Effects startUp(Session& s, TableFileState& files) {
    Operation op(s);
    s.controls.setText({"Form1"}, startCaption());
    s.FreqEntryError = false;
    s.ImageJustLoaded = false;
    storeStartLogo(s);
    setChannelSelectors(s);
    addRoHSBand(s);
    if (!openDefaultTable(s, files)) cboDft_Click(s, kDefaultBand);
    s.OldPagerFirmware = false;
    return op.done();
}

}  // namespace kxp40s
