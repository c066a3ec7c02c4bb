#pragma once

// Steps the serial and the parallel-port sequences share.

#include <optional>
#include <string>

#include "link/clock.h"
#include "transfer/transfer.h"

namespace kxp40s {

// Pager addresses the sequences read before they read or write the whole memory.
inline constexpr int kIdentityFirst = 993;  // 14 characters: model, PCB, software
inline constexpr int kIdentityLength = 14;
inline constexpr int kIdentityLast = kIdentityFirst + kIdentityLength - 1;
inline constexpr int kContrastAddress = 137;
inline constexpr int kIncdHigh = 12;
inline constexpr int kIncdLow = 13;
// An old-format pager has no memory past this address, and no checksum.
inline constexpr int kOldFormatLast = 2015;
// The range list's item of the GP(RoHS) band.
inline constexpr int kRoHSBandIndex = 3;

// Characters `from`.. of the identity text; missing characters are empty.
std::string identityPart(const std::string& identity, std::size_t from, std::size_t count);

// Software "V5.12" gives 512: characters 11, 13 and 14 of the identity;
// nullopt when they are not all digits (a blank or unreadable version).
std::optional<int> softwareVersion(const std::string& identity);

// The read's refusal of another model, naming its model, PCB and software.
Message notKxp40(const std::string& identity);

// Asks `question`; "No" fails the transfer.
bool confirmed(Transfer& t, LinkFace& face, const std::string& question);

void showEffects(LinkFace& face, const Effects& effects);

// The transfer window's progress for strt..stp and its status line.
void startProgress(LinkFace& face, Clock& clock, int strt, int stp, long colour,
                   const char* status);

// Keeps `image` in the backup folder (when the transfer has one); a failure
// to keep it is said, and the transfer goes on.
void keepBackup(Transfer& t, LinkFace& face, const Image& image, const std::string& kind);

// The image read goes to the window in the PC's letters: band and channel
// from its words, then every control. A load that fails puts the old image
// back and fails the transfer.
void adoptReadImage(Transfer& t, LinkFace& face, Image image);

// The range item the window shows is the GP(RoHS) band.
bool rohsBandChosen(const Session& s);

}  // namespace kxp40s
