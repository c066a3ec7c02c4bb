#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>

#include "editors/frequency.h"
#include "editors/init_ctl.h"
#include "editors/load_image.h"
#include "editors/settings.h"
#include "editors/tagged.h"

namespace kxp40s {
namespace {

constexpr const char* kRange2 = "Frequency setting error(1300000 < = Frequency < =1800000 )";
constexpr const char* kSpacing = "Channel Spacing Error!";
constexpr const char* kNotNumeric = "Please insert a decimal numeric!";
constexpr int kNone = -1;
constexpr int kLow[] = {9290000, 4000000, 1300000, 1300000};
constexpr int kHigh[] = {9320000, 4990000, 1800000, 1800000};

// The window right after start-up: four bands, both selectors on "5KHz",
// band 2 chosen.
Session startedSession() {
    Session s;
    addRoHSBand(s);
    s.controls.setValue({"cboChannel", 0}, kStep5KHz);
    s.controls.setValue({"cboRoHS"}, kStep5KHz);
    cboDft_Click(s, 2);
    return s;
}

Session inBand(int band, int item, bool oldRules) {
    Session s = startedSession();
    cboDft_Click(s, band);
    if (band == 2) cboChannel_Click(s, 0, item);
    if (band == 3) cboRoHS_Click(s, item);
    s.OldPagerFirmware = oldRules;
    return s;
}

// What a pager read or a table file does with a whole image.
Session reloaded(const Image& image) {
    Session s;
    addRoHSBand(s);
    loadImage(s, image);
    return s;
}

int detectedBand(const Image& image) {
    Session s;
    addRoHSBand(s);
    s.ConfigImage = image;
    DetectBand(s);
    return s.controls[{"cboDft"}].value;
}

std::string hexAt(const Image& image, int address, int length) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (const std::uint8_t byte : image.read(address, length)) {
        text += (text.empty() ? "" : " ") + std::string{kDigits[byte >> 4], kDigits[byte & 15]};
    }
    return text;
}

std::int64_t word(const Image& image, int address, int length) {
    std::int64_t value = 0;
    for (int i = 0; i < length; ++i)
        value = value * 256 + image.at(address + i);
    return value;
}

std::string label(const Session& s, std::string_view name) {
    return s.controls[{name}].text;
}
int valueOf(const Session& s, std::string_view name, int index = -1) {
    return s.controls[{name, index}].value;
}
bool visible(const Session& s, std::string_view name, int index = -1) {
    return s.controls[{name, index}].visible;
}

// The read-out labels in one line: base, N, R, Incd, step.
std::string readOut(const Session& s) {
    std::string text;
    for (const char* name : {"lblBfreq", "lblPLLN", "lblPLLR", "lblINCD", "lblCHANNEL"}) {
        text += (text.empty() ? "" : " ") + label(s, name);
    }
    return text;
}

TEST(FrequencyEntry, ReproducesTheWorkedExamplesByteForByte) {
    struct Case {
        const char* name;
        int band, item;
        bool oldRules;
        const char *entry, *words, *hundredths, *frequencies,
            *readOut;  // &H005-&H00E, &H45A, &H064-&H06B
        int reloadedItem;
    };
    // &H008 holds A5 beforehand: no entry writes it.
    const Case cases[] = {
        {"band 2 5KHz", 2, kStep5KHz, false, "1530000", "00 A9 B0 A5 00 28 01 00 02 05", "00",
         "00 13 D6 20 00 17 58 90", "1300000 A9B0 2801 2 5KHz", kStep5KHz},
        {"band 0", 0, kNone, false, "9310125", "02 36 A2 A5 00 28 01 00 04 19", "00",
         "00 8D 9A 7D 00 8E 0F AD", "9280125 236A2 2801 4 25KHz", kNone},
        {"band 2 6.25KHz", 2, kStep625KHz, false, "1530000", "00 87 C0 A5 00 20 01 00 02 06", "19",
         "00 13 D6 20 00 17 58 90", "1300000 87C0 2001 2 6.25KHz", kStep625KHz},
        {"band 2 6.25KHz old", 2, kStep625KHz, true, "1530000", "00 87 C0 A5 00 20 01 00 08 19",
         "00", "00 13 D6 20 00 17 58 90", "1300000 87C0 2001 8 25KHz", kStep625KHz},
        {"band 3 Auto", 3, kStepAuto, false, "1530125", "10 F8 00 A5 01 A3 11 00 80 0C", "32",
         "00 13 D6 20 00 17 59 0D", "1300000 10F800 1A311 80 12.5KHz", kStepAuto},
        {"band 2 Auto third raster", 2, kStepAuto, false, "1530025",
         "01 53 66 A5 00 50 01 00 02 02", "32", "00 13 D6 6B 00 17 58 A9",
         "1300075 15366 5001 2 2.5KHz", kStepAuto},
        {"band 2 Auto on 5 kHz", 2, kStepAuto, false, "1530000", "00 A9 B0 A5 00 28 01 00 02 05",
         "00", "00 13 D6 20 00 17 58 90", "1300000 A9B0 2801 2 5KHz", kStep5KHz},
        {"band 3 6.25KHz old", 3, kStep625KHz, true, "1530125", "21 F1 00 A5 03 46 11 02 00 19",
         "00", "00 13 D6 9D 00 17 59 0D", "1300125 21F100 34611 200 25KHz", kStep625KHz},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Session s = inBand(c.band, c.item, c.oldRules);
        s.ConfigImage.set(0x008, 0xA5);
        EXPECT_FALSE(enterFrequency(s, c.entry).refused);
        EXPECT_EQ(hexAt(s.ConfigImage, 0x005, 10), c.words);
        EXPECT_EQ(hexAt(s.ConfigImage, 0x45A, 1), c.hundredths);
        EXPECT_EQ(hexAt(s.ConfigImage, 0x064, 8), c.frequencies);
        EXPECT_EQ(label(s, "txtFreq"), c.entry);
        EXPECT_EQ(readOut(s), c.readOut);
        const Session again = reloaded(s.ConfigImage);
        EXPECT_EQ(valueOf(again, "cboDft"), c.band);
        if (const auto selector = channelSelector(c.band)) {
            EXPECT_EQ(again.controls[*selector].value, c.reloadedItem);
        }
    }
}

TEST(FrequencyEntry, RejectionsShowTheirMessageAndLeaveTheImage) {
    struct Case {
        const char* name;
        int band, item;
        bool oldRules;
        const char* entry;
        const char* message;  // "" for none
        bool flagged;         // FreqEntryError afterwards; the rejected text stays in the box
    };
    const Case cases[] = {
        {"below band 2", 2, kStep5KHz, false, "1299999", kRange2, true},
        {"above band 2", 2, kStep5KHz, false, "1800001", kRange2, true},
        {"negative", 2, kStep5KHz, false, "-153000", kRange2, true},
        {"above band 3", 3, kStep5KHz, false, "1800001", kRange2, true},
        {"below band 0", 0, kNone, false, "9289999",
         "Frequency setting error(9290000 < = Frequency < =9320000 )", true},
        {"above band 1", 1, kNone, false, "4990001",
         "Frequency setting error(4000000 < = Frequency < =4990000 )", true},
        {"band 0 off raster", 0, kNone, false, "9290000", kSpacing, true},
        {"band 1 off raster", 1, kNone, false, "4540050", kSpacing, true},
        {"band 2 5KHz off raster", 2, kStep5KHz, false, "1530025", kSpacing, true},
        {"band 3 6.25KHz old off raster", 3, kStep625KHz, true, "1530000", kSpacing, true},
        {"decimal point", 2, kStep5KHz, false, "153.000", kNotNumeric, false},
        {"exponent", 2, kStep5KHz, false, "1e6", kNotNumeric, false},
        {"plus sign", 2, kStep5KHz, false, "+153000", kNotNumeric, false},
        {"blank", 2, kStep5KHz, false, " 153000", kNotNumeric, false},
        {"letters", 2, kStep5KHz, false, "abc", kNotNumeric, false},
        {"lone minus", 2, kStep5KHz, false, "-", kNotNumeric, false},
        {"empty", 2, kStep5KHz, false, "", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Session s = inBand(c.band, c.item, c.oldRules);
        const Image before = s.ConfigImage;
        const std::string stored = label(s, "txtFreq");
        const Effects effects = enterFrequency(s, c.entry);
        EXPECT_EQ(s.ConfigImage, before);
        EXPECT_EQ(s.FreqEntryError, c.flagged);
        if (*c.message == '\0') {
            EXPECT_TRUE(effects.messages.empty());
            EXPECT_FALSE(effects.refused);
            EXPECT_EQ(label(s, "txtFreq"), stored);
            continue;
        }
        ASSERT_EQ(effects.messages.size(), 1u);
        EXPECT_EQ(effects.messages[0], warning(c.message));
        EXPECT_TRUE(effects.refused);
        EXPECT_EQ(effects.focus, (ControlId{"txtFreq"}));
        EXPECT_EQ(label(s, "txtFreq"), c.flagged ? c.entry : stored);
    }
}

TEST(FrequencyEntry, AcceptsBothEndsAndEveryRasterOfTheBand) {
    struct Case {
        int band, item;
        const char* entry;
        const char* base;
    };
    const Case cases[] = {
        {2, kStep5KHz, "1300000", "1300000"},  {2, kStep5KHz, "1800000", "1300000"},
        {0, kNone, "9290125", "9280125"},      {1, kNone, "4540125", "3800125"},
        {1, kNone, "4540000", "3800000"},      {3, kStep625KHz, "1530125", "1300125"},
        {3, kStep625KHz, "1530000", "1300125"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        Session s = inBand(c.band, c.item, false);
        EXPECT_FALSE(enterFrequency(s, c.entry).refused);
        EXPECT_EQ(label(s, "lblBfreq"), c.base);
        EXPECT_EQ(label(s, "txtFreq"), c.entry);
    }
}

TEST(FrequencyEntry, EveryAcceptedEntryKeepsTheSynthesizerRelations) {
    std::mt19937 random(20240531);
    for (int band = 0; band < 4; ++band) {
        for (const bool oldRules : {false, true}) {
            for (int item = 0; item < (band >= 2 ? 3 : 1); ++item) {
                SCOPED_TRACE("band " + std::to_string(band) + " item " + std::to_string(item) +
                             (oldRules ? " old" : " new"));
                Session s = inBand(band, item, oldRules);
                const int lo = kLow[band], hi = kHigh[band];
                int accepted = 0;
                for (int i = 0; i < 2000; ++i) {
                    // Half anywhere in the band, half on the finest raster (2.5 kHz).
                    const int entry =
                        i % 2 ? std::uniform_int_distribution(lo, hi)(random)
                              : lo + 25 * std::uniform_int_distribution(0, (hi - lo) / 25)(random);
                    const Image before = s.ConfigImage;
                    if (enterFrequency(s, std::to_string(entry)).refused) {
                        ASSERT_EQ(s.ConfigImage, before) << entry;
                        continue;
                    }
                    ++accepted;
                    const Image& image = s.ConfigImage;
                    const std::int64_t base = word(image, 0x064, 4), freq = word(image, 0x068, 4);
                    const std::int64_t nWord = word(image, 0x005, 3), incd = word(image, 0x00C, 2);
                    const std::int64_t stepHz = image.at(0x00E) * 1000 + image.at(0x45A) * 10;
                    ASSERT_EQ(freq, entry);
                    // Incd / step = N word / (base − 21.4 MHz): Incd is the N word's growth per
                    // step.
                    ASSERT_EQ(incd * (base * 100 - 21400000), stepHz * nWord) << entry;
                    ASSERT_EQ((freq - base) * 100 % stepHz, 0) << entry;
                    ASSERT_EQ(band == 3, incd >= 128) << entry;
                    if (band != 3) {
                        ASSERT_LE(incd, 8) << entry;
                    }
                    ASSERT_EQ(detectedBand(image), band) << entry;
                }
                EXPECT_GT(accepted, 100);
            }
        }
    }
}

TEST(FrequencyEntry, LeavingTheBoxAgainRejectsAgainUntilAKeyIsPressed) {
    Session s = inBand(2, kStep5KHz, false);
    enterFrequency(s, "1530025");
    // Read, Write and Verify move the focus away first.
    EXPECT_EQ(txtFreq_LostFocus(s).messages.at(0).text, kSpacing);
    EXPECT_TRUE(s.FreqEntryError);
    EXPECT_EQ(txtFreq_KeyPress(s, '5').focus, std::nullopt);
    EXPECT_FALSE(s.FreqEntryError);
    EXPECT_EQ(txtFreq_KeyPress(s, 13).focus, (ControlId{"picTabBack"}));

    // A text put into the box without a key release is refused on leaving.
    s.controls.setText({"txtFreq"}, "1.5e6");
    const Image before = s.ConfigImage;
    EXPECT_EQ(txtFreq_LostFocus(s).messages.at(0).text, kNotNumeric);
    EXPECT_EQ(s.ConfigImage, before);
    EXPECT_EQ(label(s, "txtFreq"), "1530000");

    // Without a channel step chosen there is no raster: nothing is stored.
    s.controls.setValue({"cboChannel", 0}, -1);
    EXPECT_EQ(enterFrequency(s, "1540000").messages.at(0).text, kSpacing);
    EXPECT_EQ(s.ConfigImage, before);
}

TEST(FrequencySelectors, ChoosingTheBandOrStepSetsEntryBaudAndAutoBit) {
    Session s = startedSession();
    cboDft_Click(s, 0);
    EXPECT_EQ(valueOf(s, "cboCtl", 9), 2);
    EXPECT_EQ(label(s, "txtFreq"), "9310125");
    EXPECT_EQ(word(s.ConfigImage, 0x068, 4), 9310125);
    EXPECT_FALSE(visible(s, "cboChannel", 0));
    EXPECT_FALSE(visible(s, "cboRoHS"));

    cboDft_Click(s, 2);
    cboChannel_Click(s, 0, kStepAuto);
    EXPECT_EQ(GetField(s.ConfigImage, 0x036, 0, 1), 1);
    EXPECT_FALSE(visible(s, "chkCtl", 4));
    EXPECT_EQ(valueOf(s, "cboCtl", 9), 1);
    cboChannel_Click(s, 0, kStep5KHz);
    EXPECT_EQ(GetField(s.ConfigImage, 0x036, 0, 1), 0);
    EXPECT_TRUE(visible(s, "chkCtl", 4));

    cboDft_Click(s, 3);
    cboRoHS_Click(s, kStep625KHz);
    EXPECT_EQ(label(s, "txtFreq"), "1530125");
    EXPECT_TRUE(visible(s, "cboRoHS"));

    s.LoadingControls = true;
    const Image before = s.ConfigImage;
    cboDft_Click(s, 0);
    cboRoHS_Click(s, kStepAuto);
    cboChannel_Click(s, 0, kStepAuto);
    EXPECT_EQ(s.ConfigImage, before);
}

TEST(FrequencyLoad, DetectBandReadsIncdAndBaseNibble) {
    struct Case {
        const char* name;
        int incd, base1, stepKHz, startBand, band, channel;
    };
    const Case cases[] = {
        {"RoHS Incd 128", 0x80, 0x13, 12, 0, 3, kNone},
        {"RoHS Incd 512", 0x200, 0x13, 25, 0, 3, kNone},
        {"nibble 1, 5 kHz", 2, 0x13, 5, 0, 2, kStep5KHz},
        {"nibble 1, 6 kHz", 2, 0x13, 6, 0, 2, kStep625KHz},
        {"nibble 1, 25 kHz", 8, 0x13, 25, 0, 2, kStepAuto},
        {"nibble 3", 4, 0x39, 25, 0, 1, kNone},
        {"nibble 4", 4, 0x45, 25, 0, 1, kNone},
        {"nibble 8", 4, 0x8D, 25, 2, 0, kNone},
        {"nibble 2 leaves the band", 4, 0x20, 25, 1, 1, kNone},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Session s;
        addRoHSBand(s);
        s.controls.setValue({"cboDft"}, c.startBand);
        s.ConfigImage.set(0x00C, static_cast<std::uint8_t>(c.incd >> 8));
        s.ConfigImage.set(0x00D, static_cast<std::uint8_t>(c.incd & 0xFF));
        s.ConfigImage.set(0x065, static_cast<std::uint8_t>(c.base1));
        s.ConfigImage.set(0x00E, static_cast<std::uint8_t>(c.stepKHz));
        DetectBand(s);
        EXPECT_EQ(valueOf(s, "cboDft"), c.band);
        if (c.channel != kNone) {
            EXPECT_EQ(valueOf(s, "cboChannel", 0), c.channel);
        }
    }
}

// A write re-checks the entry under the pager's rules with the step the
// selector shows: whatever an entry stored, the reloaded selector must let
// the same rules take it again and store the same words, whichever rules
// were in force when the file was opened.
TEST(FrequencyLoad, TheReloadedStepLetsTheSameRulesTakeTheEntryAgain) {
    int checked = 0;
    for (const int band : {2, 3}) {
        for (const bool rules : {false, true}) {
            for (int item = 0; item < 3; ++item) {
                // Every 2.5 kHz of one 25 kHz period: all entries any raster can take.
                for (int entry = 1530000; entry < 1530250; entry += 25) {
                    Session a = inBand(band, item, rules);
                    if (enterFrequency(a, std::to_string(entry)).refused) continue;
                    for (const bool rulesAtLoad : {false, true}) {
                        SCOPED_TRACE(std::to_string(band) + " " + std::to_string(item) + " " +
                                     std::to_string(entry) + (rules ? " old" : " new") +
                                     (rulesAtLoad ? ", loaded under old" : ""));
                        Session b;
                        addRoHSBand(b);
                        b.OldPagerFirmware = rulesAtLoad;
                        loadImage(b, a.ConfigImage);
                        b.OldPagerFirmware = rules;
                        const Effects recheck = txtFreq_LostFocus(b);
                        ASSERT_FALSE(recheck.refused) << recheck.messages.at(0).text;
                        ASSERT_EQ(b.ConfigImage, a.ConfigImage);
                        ++checked;
                    }
                }
            }
        }
    }
    EXPECT_GT(checked, 100);
}

TEST(FrequencyLoad, ReadOutIgnoresUnsetHundredthsAndTrapsAnUnsetBase) {
    Session s = startedSession();
    s.ConfigImage.set(0x45A, 0xFF);
    s.ConfigImage.set(0x00E, 5);
    read_freq(s);
    EXPECT_EQ(label(s, "lblCHANNEL"), "5KHz");
    EXPECT_EQ(s.LoadErrorCode, 0);
    for (int a = 0x064; a < 0x068; ++a)
        s.ConfigImage.set(a, 0xFF);
    read_pll(s);
    EXPECT_EQ(s.LoadErrorCode, 3);
    EXPECT_EQ(label(s, "lblBfreq"), "1300000");
}

Effects apply(Session& s, const std::string& key, const std::string& value) {
    return findSetting(key)->apply(s, value);
}

TEST(FrequencySettings, RefuseWhatTheWindowCannotTake) {
    Session s = startedSession();
    EXPECT_TRUE(apply(s, "band", "4").refused);
    EXPECT_TRUE(apply(s, "channel", "10KHz").refused);
    EXPECT_TRUE(apply(s, "rules", "older").refused);
    EXPECT_TRUE(apply(s, "frequency", "15300000").refused);
    EXPECT_FALSE(apply(s, "band", "0").refused);
    const Effects effects = apply(s, "channel", "5KHz");
    EXPECT_TRUE(effects.refused);
    EXPECT_NE(effects.messages.at(0).text.find("only bands 2 and 3"), std::string::npos);
}

TEST(FrequencySettings, ShowThenSetReproducesTheStoredWords) {
    std::mt19937 random(7);
    int oldNeeded = 0;
    for (int i = 0; i < 150; ++i) {
        const int band = std::uniform_int_distribution(0, 3)(random);
        const int item = std::uniform_int_distribution(0, 2)(random);
        const bool oldRules = random() % 2;
        const int entry = kLow[band] + 25 * std::uniform_int_distribution(0, 1200)(random);
        Session a = inBand(band, item, oldRules);
        if (enterFrequency(a, std::to_string(entry)).refused) continue;
        SCOPED_TRACE(std::to_string(band) + " " + std::to_string(item) + " " +
                     std::to_string(entry));
        const Session shown = reloaded(a.ConfigImage);
        Session b = startedSession();
        for (const char* key : {"band", "channel", "rules", "frequency"}) {
            const auto value = findSetting(key)->show(shown);
            if (value) {
                ASSERT_FALSE(apply(b, key, *value).refused) << key << "=" << *value;
            }
            if (std::string(key) == "rules" && value == "old") ++oldNeeded;
        }
        for (const auto& [address, length] : {std::pair{0x005, 10}, {0x45A, 1}, {0x064, 8}}) {
            ASSERT_EQ(hexAt(b.ConfigImage, address, length), hexAt(a.ConfigImage, address, length));
        }
        EXPECT_EQ(readOut(reloaded(b.ConfigImage)), readOut(shown));
    }
    EXPECT_GT(oldNeeded, 0);
}

}  // namespace
}  // namespace kxp40s
