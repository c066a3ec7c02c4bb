#include <algorithm>
#include <array>
#include <string>

#include "editors/frequency.h"
#include "editors/settings.h"

namespace kxp40s {

namespace {

constexpr std::array<std::string_view, 2> kRulesItems = {"new", "old"};

int shownBand(const Session& s) {
    return s.controls[{"cboDft"}].value;
}

Effects refuse(Session& s, std::string text) {
    Operation op(s);
    s.say(warning(std::move(text)));
    s.pending.refused = true;
    return op.done();
}

Effects applyBand(Session& s, const std::string& value) {
    const std::string expected = "a band index 0.." + std::to_string(s.cboDftItems - 1);
    if (value.size() != 1 || value[0] < '0' || value[0] - '0' >= s.cboDftItems) {
        return badValue(s, "band", value, expected);
    }
    return cboDft_Click(s, value[0] - '0');
}

Effects applyChannel(Session& s, const std::string& value) {
    const int band = shownBand(s);
    const auto selector = channelSelector(band);
    if (!selector) {
        return refuse(s, "channel: the band " +
                             (band < 0 ? std::string("(none)") : std::to_string(band)) +
                             " has no channel selector; only bands 2 and 3 take a channel step");
    }
    const auto item = itemIndex(kChannelStepItems, value);
    if (!item) return notAnItem(s, "channel", value, kChannelStepItems);
    return band == 2 ? cboChannel_Click(s, 0, *item) : cboRoHS_Click(s, *item);
}

Effects applyRules(Session& s, const std::string& value) {
    const auto item = itemIndex(kRulesItems, value);
    if (!item) return notAnItem(s, "rules", value, kRulesItems);
    Operation op(s);
    s.OldPagerFirmware = *item == 1;
    return op.done();
}

Effects applyFrequency(Session& s, const std::string& value) {
    // An empty box shows the stored frequency again: nothing to set.
    if (value.empty()) {
        return badValue(s, "frequency", value, "the frequency in 100 Hz units, e.g. 1530000");
    }
    if (value.size() > static_cast<std::size_t>(kFreqMaxLength)) {
        return badValue(s, "frequency", value,
                        "at most 7 characters (the frequency in 100 Hz units, e.g. 1530000)");
    }
    return enterFrequency(s, value);
}

// The step the window's selector shows: after a load, one with which the
// stored frequency gives the stored words again.
std::optional<std::string> showChannel(const Session& s) {
    const auto selector = channelSelector(shownBand(s));
    if (!selector) return std::nullopt;
    return shownItem(s, *selector, kChannelStepItems);
}

std::optional<std::string> showRules(const Session& s) {
    return std::string(kRulesItems[storedWordsNeedOldRules(s) ? 1 : 0]);
}

std::optional<std::string> shownText(const Session& s, ControlId label) {
    const std::string& text = s.controls[label].text;
    if (text.empty()) return std::nullopt;
    return text;
}

SettingDef readOut(std::string key, std::string help, std::string_view label) {
    SettingDef def;
    def.key = std::move(key);
    def.help = std::move(help);
    def.show = [label](const Session& s) { return shownText(s, {label}); };
    def.readOnly = true;
    return def;
}

}  // namespace

void addFrequencySettings(std::vector<SettingDef>& defs) {
    defs.push_back({"band", "the range item of the band list: {range} ({items})",
                    [](const Session& s) -> std::optional<std::string> {
                        const int band = shownBand(s);
                        if (band < 0) return std::nullopt;
                        return std::to_string(band);
                    },
                    applyBand});
    defs.back().takesIndex({"cboDft"});
    defs.push_back({"channel",
                    "the channel step of bands 2 and 3, {items}; shown as the step that gives "
                    "the stored words again",
                    showChannel, applyChannel});
    defs.back().takesItem({"cboChannel", 0});
    defs.push_back(
        {"rules",
         "the rule set of the 130-180 MHz bands for the entries that follow (not stored), "
         "{items}; shown as \"old\" only when the stored words need it",
         showRules, applyRules});
    defs.back().takesItems(kRulesItems);
    defs.push_back({"frequency", "the receive frequency in units of 100 Hz, as typed, e.g. 1531250",
                    [](const Session& s) { return shownText(s, {"txtFreq"}); }, applyFrequency});
    defs.back().takesNumber({"txtFreq"});
    defs.push_back(
        readOut("pll.base", "read-out: base frequency of the raster, 100 Hz units", "lblBfreq"));
    defs.push_back(readOut("pll.n", "read-out: the N word, hexadecimal", "lblPLLN"));
    defs.push_back(readOut("pll.r", "read-out: the R word, hexadecimal", "lblPLLR"));
    defs.push_back(readOut("pll.incd", "read-out: the increment word, hexadecimal", "lblINCD"));
    defs.push_back(readOut("pll.step", "read-out: the channel step", "lblCHANNEL"));
}

}  // namespace kxp40s
