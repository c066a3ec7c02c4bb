#include "editors/frequency.h"

#include <cctype>
#include <charconv>
#include <climits>
#include <cmath>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

#include "editors/capcodes.h"
#include "editors/init_ctl.h"
#include "editors/tagged.h"
#include "image/message.h"
#include "image/pager_map.h"

namespace kxp40s {

namespace {

const ControlId kTxtFreq{"txtFreq"};
const ControlId kCboDft{"cboDft"};
const ControlId kCboChannel{"cboChannel", 0};
const ControlId kCboRoHS{"cboRoHS"};
const ControlId kFreqModificationEnable{"chkCtl", 4};
constexpr int kBaudList = 9;
constexpr int kBaud1200 = 1;
constexpr int kBaud2400 = 2;

// Synthesizer words and the channel step.

constexpr std::int64_t kOffsetHz = 21400000;     // subtracted before the N word
constexpr std::int64_t kReferenceHz = 12800000;  // R word of the normal variant, times k
constexpr std::int32_t kRoHSReferenceHz = 5237500;

constexpr const char* kNotNumeric = "Please insert a decimal numeric!";
constexpr const char* kChannelSpacingError = "Channel Spacing Error!";

// The conversions of the stored arithmetic round half to even, as the
// default floating-point rounding mode does.
std::int32_t roundHalfEven(double value) {
    return static_cast<std::int32_t>(std::nearbyint(value));
}

std::int32_t wordAt(const Image& image, pager::Run run) {
    return static_cast<std::int32_t>(pager::readWord(image, run));
}

std::string upperHex(std::int64_t value) {
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, 16).ptr;
    std::string text(buffer, end);
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

int bandOf(const Session& s) {
    const int band = s.controls[kCboDft].value;
    return band >= 0 && band < s.cboDftItems ? band : -1;
}

// The synthesizer call one raster test leads to.
struct PllCall {
    bool rohs;
    std::int32_t base;  // 100 Hz units
    float step;         // kHz
    int n;
};

// One row of the raster decision: F − offset must be a whole multiple of
// spacing (both in Hz).
struct RasterTest {
    std::int64_t offsetHz;
    std::int64_t spacingHz;
    PllCall call;
};

// The raster decision: for a band, rule set and channel-step item, the
// tests to try in order; the first that holds names the call. Bands 0 and 1
// have no selector and one rule set (item and rules are then wildcards).
struct RasterRow {
    int band;
    std::optional<bool> oldRules;
    int item;
    std::vector<RasterTest> tests;
};

const std::vector<RasterRow>& rasterRows() {
    constexpr int kAny = -1;
    static const std::vector<RasterRow> rows = {
        {0, std::nullopt, kAny, {{928012500, 25000, {false, 9280125, 25.0f, 4}}}},
        {1,
         std::nullopt,
         kAny,
         {{380000000, 25000, {false, 3800000, 25.0f, 4}},
          {380012500, 25000, {false, 3800125, 25.0f, 4}}}},
        {2, false, kStep5KHz, {{130000000, 5000, {false, 1300000, 5.0f, 2}}}},
        {2, false, kStep625KHz, {{130000000, 6250, {false, 1300000, 6.25f, 2}}}},
        {2,
         false,
         kStepAuto,
         {{130000000, 5000, {false, 1300000, 5.0f, 2}},
          {130000000, 6250, {false, 1300000, 6.25f, 2}},
          {130007500, 2500, {false, 1300075, 2.5f, 2}}}},
        {2, true, kStep5KHz, {{130000000, 5000, {false, 1300000, 5.0f, 2}}}},
        {2,
         true,
         kStep625KHz,
         {{130000000, 25000, {false, 1300000, 25.0f, 8}},
          {130012500, 25000, {false, 1299875, 25.0f, 8}}}},
        {2,
         true,
         kStepAuto,
         {{130000000, 5000, {false, 1300000, 5.0f, 2}},
          {129987500, 25000, {false, 1299875, 25.0f, 8}},
          {130007500, 5000, {false, 1300075, 5.0f, 4}}}},
        {3, false, kStep5KHz, {{130000000, 5000, {true, 1300000, 2.5f, 1}}}},
        {3, false, kStep625KHz, {{130012500, 6250, {true, 1300125, 6.25f, 1}}}},
        {3,
         false,
         kStepAuto,
         {{130000000, 12500, {true, 1300000, 12.5f, 1}},
          {130012500, 6250, {true, 1300125, 6.25f, 1}},
          {130000000, 2500, {true, 1300000, 2.5f, 1}}}},
        {3, true, kStep5KHz, {{130000000, 5000, {true, 1300000, 5.0f, 2}}}},
        {3, true, kStep625KHz, {{130012500, 25000, {true, 1300125, 25.0f, 4}}}},
        {3,
         true,
         kStepAuto,
         {{130000000, 25000, {true, 1300000, 25.0f, 2}},
          {130012500, 25000, {true, 1300125, 25.0f, 4}},
          {130000000, 5000, {true, 1300000, 5.0f, 2}}}},
    };
    return rows;
}

// The call for an entry of `hz` hertz; none when the entry is off every
// raster of the row, or when the band's selector shows no item.
std::optional<PllCall> rasterCall(int band, bool oldRules, int item, std::int64_t hz) {
    for (const RasterRow& row : rasterRows()) {
        if (row.band != band || (row.oldRules && *row.oldRules != oldRules) ||
            (row.item >= 0 && row.item != item)) {
            continue;
        }
        for (const RasterTest& test : row.tests) {
            if ((hz - test.offsetHz) % test.spacingHz == 0) return test.call;
        }
    }
    return std::nullopt;
}

int selectorItem(const Session& s, int band) {
    const auto selector = channelSelector(band);
    return selector ? s.controls[*selector].value : -1;
}

// The band's limits come from its item text: "130-180MHz" accepts
// 1300000 to 1800000.
struct BandRange {
    std::string_view loDigits;
    std::string_view hiDigits;
    std::int32_t lo;
    std::int32_t hi;
};

BandRange bandRange(int band) {
    const std::string_view item = kBandItems[static_cast<std::size_t>(band)];
    BandRange range{item.substr(0, 3), item.substr(4, 3), 0, 0};
    std::from_chars(range.loDigits.data(), range.loDigits.data() + 3, range.lo);
    std::from_chars(range.hiDigits.data(), range.hiDigits.data() + 3, range.hi);
    range.lo *= 10000;
    range.hi *= 10000;
    return range;
}

std::string rangeMessage(const BandRange& range) {
    return "Frequency setting error(" + std::string(range.loDigits) +
           "0000 < = Frequency < =" + std::string(range.hiDigits) + "0000 )";
}

// The entry as a number: digits with at most a leading minus sign. Longer
// texts than the box holds saturate far outside every band.
std::optional<std::int64_t> entryValue(std::string_view text) {
    const auto entry = parseDecimalText(text);
    if (!entry) return std::nullopt;
    return entry->negative ? -entry->magnitude : entry->magnitude;
}

void refuseEntry(Session& s, std::string text) {
    s.FreqEntryError = true;
    s.refuse(warning(std::move(text)), kTxtFreq);
}

void refuseNotNumeric(Session& s) {
    s.refuse(warning(kNotNumeric), kTxtFreq);
    read_freq(s);
}

// Whole kilohertz and hundredths of the step, as the pager keeps them.
void storeStep(Image& image, float step) {
    const std::int32_t hz = roundHalfEven(static_cast<double>(step * 1000.0f));
    image.set(pager::kStepKHz, static_cast<std::uint8_t>(hz / 1000));
    image.set(pager::kStepHundredths, static_cast<std::uint8_t>((hz / 10) % 100));
}

std::int32_t nWordDivisor(std::int32_t base, std::int32_t fref) {
    return roundHalfEven(static_cast<double>(std::int64_t{base} * 100 - kOffsetHz) / fref);
}

// The synthesizer words of the normal variant for the raster that starts at
// call.base and advances by call.step; `k` is the band's factor of the R word.
void storeNormalWords(Image& image, const PllCall& call, int k) {
    pager::writeWord(image, pager::kBaseFreq, call.base);
    const std::int32_t fref = roundHalfEven(
        static_cast<double>((call.step + call.step) / static_cast<float>(call.n) * 1000.0f));
    storeStep(image, call.step);
    pager::writeWord(image, pager::kPllIncd, call.n);
    pager::writeWord(image, pager::kPllN, 2 * std::int64_t{nWordDivisor(call.base, fref)});
    image.set(pager::kPllR.address, 0);
    const std::int32_t r = roundHalfEven(static_cast<double>(k * kReferenceHz) / fref);
    pager::writeWord(image, {pager::kPllR.address + 1, 2}, 2 * std::int64_t{r} + 1);
}

void storeRoHSWords(Image& image, const PllCall& call) {
    storeStep(image, call.step);
    pager::writeWord(image, pager::kPllIncd, pager::kRoHSIncd * call.n);
    const std::int32_t fref =
        roundHalfEven(static_cast<double>(call.step / static_cast<float>(call.n) * 1000.0f));
    const std::int32_t r = kRoHSReferenceHz / fref;
    image.set(pager::kPllR.last(), 0x11);
    pager::writeWord(image, {pager::kPllR.address, 2}, r);
    pager::writeWord(image, pager::kBaseFreq, call.base);
    pager::writeWord(image, pager::kPllN,
                     std::int64_t{pager::kRoHSIncd} * nWordDivisor(call.base, fref));
}

int bandFactorOf(int band) {
    return band == 0 ? 5 : band == 1 ? 3 : 2;
}

int bandFactor(const Session& s) {
    return bandFactorOf(s.controls[kCboDft].value);
}

// Whether typing the stored frequency again, with `item` chosen in the
// band's selector and under the given rules, stores the very words the image
// holds (so a write's re-check under those rules accepts them).
bool entryReproducesWords(const Image& image, int band, int item, bool oldRules) {
    if (band < 0) return false;
    const std::int32_t entry = wordAt(image, pager::kPagerFreq);
    const BandRange range = bandRange(band);
    if (entry < range.lo || entry > range.hi) return false;
    const auto call = rasterCall(band, oldRules, item, std::int64_t{entry} * 100);
    if (!call) return false;
    Image words = image;
    if (call->rohs) {
        storeRoHSWords(words, *call);
    } else {
        storeNormalWords(words, *call, bandFactorOf(band));
    }
    return words == image;
}

// The step the stored words imply: 5 kHz and below, 6.25 kHz (or 25 kHz
// with the old rules' Incd), anything else "Auto".
int impliedItem(int band, int stepHundredths, int incd) {
    if (band == 2 ? stepHundredths == 500 : stepHundredths <= 500) return kStep5KHz;
    const int oldRulesIncd = band == 2 ? 8 : 512;
    if (stepHundredths == 625 || (stepHundredths == 2500 && incd == oldRulesIncd))
        return kStep625KHz;
    return kStepAuto;
}

// What the selector shows for a freshly loaded image: the step its words
// imply, unless typing its frequency again with that step would store other
// words or be refused (an "Auto" entry of band 3 on the 2.5 kHz raster
// implies "5KHz", which refuses it), as a write's re-check does. Then the
// first step with which the entry stores the very same words, under the
// rules in force and else under the other rules, is shown.
int reloadedItem(const Image& image, int band, int stepHundredths, int incd, bool oldRules) {
    const int implied = impliedItem(band, stepHundredths, incd);
    for (const bool rules : {oldRules, !oldRules}) {
        if (entryReproducesWords(image, band, implied, rules)) return implied;
        for (int item = 0; item < static_cast<int>(kChannelStepItems.size()); ++item) {
            if (entryReproducesWords(image, band, item, rules)) return item;
        }
    }
    return implied;
}

// "Auto" is recorded in bit 0 of &H036, the bit the check box "Frequency
// Modification Enable" shows inverted; the box is hidden while "Auto" is
// chosen.
void storeAutoStep(Session& s, int item) {
    const bool automatic = item == kStepAuto;
    pager::setBits(s.ConfigImage, pager::kAutoStep, automatic ? 1 : 0);
    s.controls.setVisible(kFreqModificationEnable, !automatic);
}

void chooseBaud(Session& s, int listIndex) {
    s.controls.setValue({"cboCtl", kBaudList}, listIndex);
    cboCtl_Click(s, kBaudList, listIndex);
}

void setEntry(Session& s, std::string text) {
    s.controls.setText(kTxtFreq, std::move(text));
}

std::string stepText(int stepHundredths) {
    static constexpr std::string_view kFraction[] = {"", ".25", ".5", ".75"};
    const int fraction = stepHundredths % 100;
    return std::to_string(stepHundredths / 100) +
           std::string(fraction % 25 == 0 ? kFraction[fraction / 25] : "") + "KHz";
}

}  // namespace

void addRoHSBand(Session& s) {
    s.cboDftItems = static_cast<int>(kBandItems.size());
}

std::optional<ControlId> channelSelector(int band) {
    if (band == 2) return kCboChannel;
    if (band == kRoHSBand) return kCboRoHS;
    return std::nullopt;
}

void Set_Freq(Session& s, std::int32_t tFreq, int addr) {
    pager::writeWord(s.ConfigImage, {addr, pager::kPagerFreq.length}, tFreq);
}

void read_freq(Session& s) {
    s.controls.setText(kTxtFreq, std::to_string(wordAt(s.ConfigImage, pager::kPagerFreq)));
    read_pll(s);
}

void read_BaseFreq(Session& s) {
    try {
        // The read-out holds the base in hertz as a 32-bit number: a base
        // past its range (an unset &HFF word) cannot be shown.
        const auto base = static_cast<std::uint32_t>(wordAt(s.ConfigImage, pager::kBaseFreq));
        if (base > INT32_MAX / 100) throw std::overflow_error("base frequency out of range");
        s.controls.setText({"lblBfreq"}, std::to_string(base));
    } catch (const std::exception&) {
        s.LoadErrorCode = 3;
    }
}

void read_pll(Session& s) {
    const Image& image = s.ConfigImage;
    read_BaseFreq(s);
    const int incd = wordAt(image, pager::kPllIncd);
    s.controls.setText({"lblINCD"}, upperHex(incd));
    s.controls.setText({"lblPLLR"}, upperHex(wordAt(image, pager::kPllR)));

    const int hundredths = image.at(pager::kStepHundredths);
    const int step =
        100 * image.at(pager::kStepKHz) + (hundredths == 25 || hundredths == 50 ? hundredths : 0);
    s.controls.setText({"lblCHANNEL"}, stepText(step));

    const int band = bandOf(s);
    const auto selector = channelSelector(band);
    s.controls.setVisible(kCboChannel, selector.has_value());
    s.controls.setVisible(kCboRoHS, selector.has_value());
    if (selector && s.ImageJustLoaded) {
        s.LoadingControls = true;
        s.controls.setValue(*selector, reloadedItem(image, band, step, incd, s.OldPagerFirmware));
        s.LoadingControls = false;
    }
    s.controls.setText({"lblPLLN"}, upperHex(wordAt(image, pager::kPllN)));
}

void SetFreqPLL(Session& s, std::int32_t base, float step, int n) {
    storeNormalWords(s.ConfigImage, {false, base, step, n}, bandFactor(s));
}

void SetRoHSFreqPLL(Session& s, std::int32_t base, float step, int n) {
    storeRoHSWords(s.ConfigImage, {true, base, step, n});
}

bool storedWordsNeedOldRules(const Session& s) {
    const int band = bandOf(s);
    const int item = selectorItem(s, band);
    return !entryReproducesWords(s.ConfigImage, band, item, false) &&
           entryReproducesWords(s.ConfigImage, band, item, true);
}

void DetectBand(Session& s) {
    const Image& image = s.ConfigImage;
    if (wordAt(image, pager::kPllIncd) >= pager::kRoHSIncd) {
        if (kRoHSBand < s.cboDftItems) s.controls.setValue(kCboDft, kRoHSBand);
        return;
    }
    switch (pager::bandCode(image)) {
        case 1: {
            s.controls.setValue(kCboDft, 2);
            const int stepKHz = image.at(pager::kStepKHz);
            s.controls.setValue(kCboChannel, stepKHz == 5   ? kStep5KHz
                                             : stepKHz == 6 ? kStep625KHz
                                                            : kStepAuto);
            s.controls.setVisible(kCboChannel, true);
            break;
        }
        case 3:
        case 4:
            s.controls.setValue(kCboDft, 1);
            break;
        case 8:
            s.controls.setValue(kCboDft, 0);
            break;
        default:
            break;
    }
}

Effects txtFreq_GotFocus(Session& s) {
    Operation op(s);
    setEntry(s, "");
    return op.done();
}

Effects txtFreq_KeyPress(Session& s, int keyAscii) {
    Operation op(s);
    s.FreqEntryError = false;
    // Enter is not typed into the box: it moves the focus away, and leaving
    // the box validates the entry.
    if (keyAscii == 13) s.focusOn({"picTabBack"});
    return op.done();
}

Effects txtFreq_KeyUp(Session& s, std::string_view text) {
    Operation op(s);
    setEntry(s, std::string(text.substr(0, kFreqMaxLength)));
    const std::string& entry = s.controls[kTxtFreq].text;
    if (!entry.empty() && !entryValue(entry)) refuseNotNumeric(s);
    return op.done();
}

Effects txtFreq_LostFocus(Session& s) {
    Operation op(s);
    const std::string text = s.controls[kTxtFreq].text;
    const int band = bandOf(s);
    if (text.empty() || band < 0) {
        s.FreqEntryError = false;
        read_freq(s);
        return op.done();
    }
    // A text that reaches here without a key release (pasted, or set by
    // code) gets the same refusal the key release gives.
    const auto value = entryValue(text);
    if (!value) {
        s.FreqEntryError = true;
        refuseNotNumeric(s);
        return op.done();
    }
    const BandRange range = bandRange(band);
    if (*value > range.hi || *value < range.lo) {
        refuseEntry(s, rangeMessage(range));
        return op.done();
    }
    // Without a channel step chosen there is no raster to place the entry
    // on; storing the frequency alone would leave it disagreeing with the
    // synthesizer words.
    const auto call = rasterCall(band, s.OldPagerFirmware, selectorItem(s, band), *value * 100);
    if (!call) {
        refuseEntry(s, kChannelSpacingError);
        return op.done();
    }
    if (call->rohs) {
        SetRoHSFreqPLL(s, call->base, call->step, call->n);
    } else {
        SetFreqPLL(s, call->base, call->step, call->n);
    }
    Set_Freq(s, static_cast<std::int32_t>(*value), pager::kPagerFreq.address);
    s.FreqEntryError = false;
    read_freq(s);
    return op.done();
}

Effects cboDft_Click(Session& s, int listIndex) {
    Operation op(s);
    if (listIndex < -1 || listIndex >= s.cboDftItems)
        throw std::out_of_range("no such item in cboDft");
    s.controls.setValue(kCboDft, listIndex);
    if (s.LoadingControls) return op.done();

    s.controls.setVisible(kCboChannel, listIndex == 2);
    s.controls.setVisible(kCboRoHS, listIndex == kRoHSBand);
    switch (listIndex) {
        case 0:
        case 1:
            chooseBaud(s, listIndex == 0 ? kBaud2400 : kBaud1200);
            setEntry(s, listIndex == 0 ? "9310125" : "4540125");
            txtFreq_LostFocus(s);
            break;
        case 2:
            setEntry(s, "1530000");
            txtFreq_LostFocus(s);
            chooseBaud(s, kBaud1200);
            break;
        case kRoHSBand:
            // The RoHS R word's last byte (&H11) is written by the entry
            // itself, so a refused entry leaves the normal words whole.
            chooseBaud(s, kBaud1200);
            s.controls.setVisible(kCboChannel, false);
            setEntry(s, "1530000");
            txtFreq_LostFocus(s);
            break;
        default:
            break;
    }
    return op.done();
}

Effects cboChannel_Click(Session& s, int index, int listIndex) {
    Operation op(s);
    if (index != 0 || listIndex < -1 || listIndex >= static_cast<int>(kChannelStepItems.size())) {
        throw std::out_of_range("no such item in cboChannel");
    }
    s.controls.setValue(kCboChannel, listIndex);
    if (s.LoadingControls || listIndex < 0) return op.done();
    storeAutoStep(s, listIndex);
    chooseBaud(s, kBaud1200);
    setEntry(s, "1530000");
    txtFreq_LostFocus(s);
    init_ctl(s);
    return op.done();
}

Effects cboRoHS_Click(Session& s, int listIndex) {
    Operation op(s);
    if (listIndex < -1 || listIndex >= static_cast<int>(kChannelStepItems.size())) {
        throw std::out_of_range("no such item in cboRoHS");
    }
    s.controls.setValue(kCboRoHS, listIndex);
    if (s.LoadingControls || listIndex < 0) return op.done();
    storeAutoStep(s, listIndex);
    setEntry(s, listIndex == kStep625KHz ? "1530125" : "1530000");
    txtFreq_LostFocus(s);
    init_ctl(s);
    return op.done();
}

Effects enterFrequency(Session& s, std::string_view text) {
    Operation op(s);
    txtFreq_GotFocus(s);
    for (const char c : text)
        txtFreq_KeyPress(s, static_cast<unsigned char>(c));
    txtFreq_KeyUp(s, text);
    if (!s.pending.refused) txtFreq_LostFocus(s);
    return op.done();
}

}  // namespace kxp40s
