#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "editors/session.h"
#include "image/control_catalogue.h"

namespace kxp40s {

// The band list `cboDft` (kBandItems): the window is built with the first
// three; start-up appends the fourth (addRoHSBand). The accepted range of a
// band is read from its text: characters 1-3 and 5-7, in MHz.
inline constexpr int kRoHSBand = 3;

// The items of the channel-step selectors `cboChannel`(0) (band 2) and
// `cboRoHS` (band 3), kChannelStepItems.
inline constexpr int kStep5KHz = 0;
inline constexpr int kStep625KHz = 1;
inline constexpr int kStepAuto = 2;

// Appends "130-180MHz-GP(RoHS)" to the band list (start-up does it once).
void addRoHSBand(Session& s);

// The channel-step selector of a band: `cboChannel`(0) for band 2, `cboRoHS`
// for band 3, none for the others. The selector of the shown band is the one
// in front (both lie at the same place).
std::optional<ControlId> channelSelector(int band);

// Loaders (init_ctl calls read_BaseFreq and read_freq).
void read_freq(Session& s);
void read_pll(Session& s);
void read_BaseFreq(Session& s);

// Stores tFreq big-endian at addr .. addr + 3.
void Set_Freq(Session& s, std::int32_t tFreq, int addr);

// Store the synthesizer words for the raster that starts at `base` (100 Hz
// units) and advances by `step` kHz; `n` is the raster's divisor.
void SetFreqPLL(Session& s, std::int32_t base, float step, int n);
void SetRoHSFreqPLL(Session& s, std::int32_t base, float step, int n);

// Whether the stored words were made under the old rules: typing the stored
// frequency again with the step the band's selector shows stores them under
// the old rules only.
bool storedWordsNeedOldRules(const Session& s);

// Sets the band (and band 2's selector) from a freshly loaded image. The
// loader sets LoadingControls around it and runs init_ctl afterwards.
void DetectBand(Session& s);

// The window's handlers.
Effects txtFreq_GotFocus(Session& s);
Effects txtFreq_KeyPress(Session& s, int keyAscii);
Effects txtFreq_KeyUp(Session& s, std::string_view text);
Effects txtFreq_LostFocus(Session& s);
Effects cboDft_Click(Session& s, int listIndex);
Effects cboChannel_Click(Session& s, int index, int listIndex);
Effects cboRoHS_Click(Session& s, int listIndex);

// What a user does to enter a frequency: click into the box, type the text,
// release the key, leave the box.
Effects enterFrequency(Session& s, std::string_view text);

}  // namespace kxp40s
