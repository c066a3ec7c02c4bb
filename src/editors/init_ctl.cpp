#include "editors/init_ctl.h"

#include "editors/alerts.h"
#include "editors/capcodes.h"
#include "editors/frequency.h"
#include "editors/pager_menu.h"
#include "editors/prompts.h"
#include "image/binding.h"

namespace kxp40s {

namespace {

// The window's own steps share one error code: the tagged controls and the
// lists with codes of their own.
constexpr int kOwnStepsCode = 1;

void loadOwnSteps(Session& s) {
    runLoader(s, kOwnStepsCode, [&] {
        if (const int code = loadTaggedControls(s.ConfigImage, s.controls)) s.LoadErrorCode = code;
        read_SLC(s);
        read_ORC(s);
        read_logo(s);
        s.LoadingControls = true;
        read_language(s);
        s.LoadingControls = false;
        Set_PromptEd_Width(s);
        read_contrast(s);
        read_menu(s);
    });
}

}  // namespace

Effects init_ctl(Session& s) {
    Operation op(s);
    read_capcode(s);
    loadOwnSteps(s);
    read_BaseFreq(s);
    read_freq(s);
    read_prompt(s);
    read_SourcePrompt(s);
    read_Disp(s);
    read_Type(s);
    read_Pri(s);
    read_pass(s);
    read_BatLev(s);
    read_Alert(s);
    read_SetAlarm(s);
    return op.done();
}

}  // namespace kxp40s
