#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "image/pager_map.h"
#include "link/pager_link.h"

namespace kxp40s {

// Where the read, write and verify sequences differ between the two boards.
// The sequences are written once; each difference is a value here, with the
// reason it exists.
struct BoardRules {
    // The questions before an overwrite end with the board's own wording.
    std::string_view overwriteTail;
    // The question before overwriting a pager of another model.
    std::string_view otherModelQuestion;
    // An empty pager: the USB board's firmware leaves unprintable bytes in an
    // unprogrammed identity; the parallel-port board sees the erased memory
    // itself, all 255.
    bool (*identityIsEmpty)(std::span<const std::uint8_t> identity);
    // Pagers from this software version on keep a checksum (the two boards
    // were made for different generations of pagers).
    int checksumFrom;
    // Whether a read's checksum is right. The USB board also accepts the sum
    // taken while the firmware byte and the byte after it still held 255, as
    // some pagers were checksummed then; the parallel-port board knows one sum.
    bool (*checksumMatches)(std::span<const std::uint8_t> memory, int last);
    std::string_view checksumError;
    // The USB board's pagers may have new firmware whose synthesizer rules
    // differ: the write takes the pager's firmware byte and recomputes the
    // words for it. The parallel-port board's pagers all have the old rules.
    bool takesFirmware;
    // The part of the contrast byte a write takes from the pager (unless the
    // user moved the slider): the USB board's pagers keep other settings in
    // the byte's high half; the parallel-port board takes the whole byte.
    std::uint8_t contrastMask;
    // The bytes the band check reads, and whether they mark a GP(RoHS) pager:
    // the INCD word on the USB board; on the parallel-port board only its low
    // byte, as that board has always done.
    pager::Run bandBytes;
    bool (*isRoHSPager)(std::span<const std::uint8_t> bandBytes);
    // What the user needs to open the board's ports on Linux: the group
    // that owns serial devices, or the one that owns parallel ports.
    std::string_view boardName;
    std::string_view portGroup;
};

const BoardRules& rulesOf(BoardKind kind);

// "a USB board needs the group dialout"; "" where the system asks nothing.
std::string portPermission(BoardKind kind);

}  // namespace kxp40s
