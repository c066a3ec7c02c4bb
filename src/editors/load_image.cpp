#include "editors/load_image.h"

#include "editors/frequency.h"
#include "editors/init_ctl.h"

namespace kxp40s {

namespace {

const ControlId kCaption{"Form1"};

}  // namespace

std::string startCaption() {
    return std::string(kTitle) + " USB KAVION";
}

Effects loadImage(Session& s, const Image& image) {
    Operation op(s);
    s.ConfigImage = image;
    s.LoadingControls = true;
    DetectBand(s);
    s.LoadingControls = false;
    s.ImageJustLoaded = true;
    init_ctl(s);
    s.ImageJustLoaded = false;
    return op.done();
}

bool openTable(Session& s, TableFileState& files,
               const std::optional<std::filesystem::path>& chosen) {
    TableRead read = mnuLBFF_Click(files, chosen);
    if (!read.image) {
        s.say(*read.message);
        return false;
    }
    loadImage(s, *read.image);
    const std::string caption =
        s.controls[kCaption].text.empty() ? startCaption() : s.controls[kCaption].text;
    s.controls.setText(kCaption, captionWithPath(caption, chosen.value_or(files.CurrentTableFile)));
    return true;
}

Effects openTableFile(Session& s, TableFileState& files,
                      const std::optional<std::filesystem::path>& chosen) {
    Operation op(s);
    if (!openTable(s, files, chosen)) s.pending.refused = true;
    return op.done();
}

}  // namespace kxp40s
