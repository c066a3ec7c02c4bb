#include "editors/prompts.h"
#include "editors/settings.h"
#include "image/field_map.h"

namespace kxp40s {

namespace {

using ListClick = Effects (*)(Session&, int);

SettingDef listSetting(std::string key, ControlId list, std::vector<std::string_view> items,
                       ListClick click, std::string caption) {
    return SettingDef{key,
                      "",
                      [list, items](const Session& s) { return shownItem(s, list, items); },
                      [key, items, click](Session& s, const std::string& value) {
                          const auto index = itemIndex(items, value);
                          if (!index) return notAnItem(s, key, value, items);
                          return click(s, *index);
                      },
                      false,
                      false,
                      std::move(caption)}
        .takesItem(list);
}

// A prompt is typed into its box and stored when the box loses the focus. A
// box that already shows the text is left alone, as a user would: storing
// trims the spaces after a text, which the pager's own tables sometimes hold.
SettingDef promptSetting(const PromptBox& box) {
    const int index = box.index;
    return SettingDef{"prompt" + std::to_string(index),
                      "the text as typed in the box, leading spaces kept",
                      [index](const Session& s) -> std::optional<std::string> {
                          return s.controls[{"txtPrompt", index}].text;
                      },
                      [index](Session& s, const std::string& value) {
                          if (s.controls[{"txtPrompt", index}].text == value)
                              return Operation(s).done();
                          txtPrompt_GotFocus(s, index);
                          return txtPrompt_LostFocus(s, index, value);
                      },
                      true,
                      false,
                      box.label}
        .takesText({"txtPrompt", index});
}

SettingDef loadDefaultSetting() {
    return SettingDef{"load-default",
                      "N: \"Load Default\" with prompt box N focused (restores that prompt)",
                      nullptr,
                      [](Session& s, const std::string& value) {
                          for (const PromptBox& box : promptBoxes()) {
                              if (std::to_string(box.index) != value) continue;
                              txtPrompt_GotFocus(s, box.index);
                              return optDefault_Click(s, 0);
                          }
                          return badValue(s, "load-default", value,
                                          "a prompt box number 0-65 or 68");
                      },
                      false,
                      false,
                      controlInfo({"optDefault", 0}).caption};
}

}  // namespace

// The language first: it rewrites the prompts. Then the logo font, which sets
// the logo box's length, the source-prompt mode and the prompt texts.
void addPromptSettings(std::vector<SettingDef>& defs) {
    defs.push_back(listSetting("language", {"cboLng"},
                               {kLanguageItems.begin(), kLanguageItems.end()}, cboLng_Click,
                               controlInfo({"cboLng"}).caption));
    const BoundField& logo = boundField({"cboLogo"});
    defs.push_back(
        listSetting("logo", logo.control, logo.items, cboLogo_Click, std::string(logo.caption)));
    defs.push_back(listSetting("source", {"cboSource"}, {kSourceItems.begin(), kSourceItems.end()},
                               cboSource_Click, controlInfo({"cboSource"}).caption));
    for (const PromptBox& box : promptBoxes())
        defs.push_back(promptSetting(box));
    defs.push_back(loadDefaultSetting());
}

}  // namespace kxp40s
