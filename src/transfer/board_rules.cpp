#include "transfer/board_rules.h"

#include <algorithm>
#include <numeric>
#include <vector>

#include "link/search_message.h"
#include "link/system_port_io.h"

namespace kxp40s {

namespace {

bool anyUnprintable(std::span<const std::uint8_t> identity) {
    return std::any_of(identity.begin(), identity.end(),
                       [](std::uint8_t b) { return b < 32 || b > 127; });
}

bool erased(std::span<const std::uint8_t> identity) {
    return std::accumulate(identity.begin(), identity.end(), 0) ==
           static_cast<int>(identity.size()) * 255;
}

bool storedSumIs(std::span<const std::uint8_t> memory, int last, std::uint16_t sum) {
    return pager::storedChecksum(memory, last) == sum;
}

bool eitherSum(std::span<const std::uint8_t> memory, int last) {
    std::vector<std::uint8_t> beforeFirmware(memory.begin(), memory.end());
    beforeFirmware[pager::kFirmware] = 255;
    beforeFirmware[pager::kAfterFirmware] = 255;
    const std::uint16_t a = pager::checksumOf(memory, last);
    const std::uint16_t b = pager::checksumOf(beforeFirmware, last);
    // Each stored byte may match either sum.
    const std::uint16_t stored = pager::storedChecksum(memory, last);
    const auto high = stored >> 8;
    const auto low = stored & 0xFF;
    return (low == (a & 0xFF) || low == (b & 0xFF)) && (high == (a >> 8) || high == (b >> 8));
}

bool oneSum(std::span<const std::uint8_t> memory, int last) {
    return storedSumIs(memory, last, pager::checksumOf(memory, last));
}

bool incdMarksRoHS(std::span<const std::uint8_t> incd) {
    return incd[0] * 256 + incd[1] >= pager::kRoHSIncd;
}

bool lowByteZero(std::span<const std::uint8_t> incdLow) {
    return incdLow[0] == 0;
}

constexpr BoardRules kUsbRules{
    "\r\nAre you sure overwrite it?",
    "The program data is wrong ! ",
    anyUnprintable,
    500,
    eitherSum,
    "CheckSum Error!",
    true,
    0x0F,
    pager::kPllIncd,
    incdMarksRoHS,
    "USB",
    kSerialPortGroup,
};

constexpr BoardRules kLptRules{
    "\r\nAre you sure to overwrite it ?",
    "This model of pager can not be sure ! ",
    erased,
    373,
    oneSum,
    "The data of pager is not complete correction !\r\n\r\nPlease try to reprogram the pager or "
    "try to read again.",
    false,
    0xFF,
    {pager::kPllIncd.last(), 1},
    lowByteZero,
    "parallel-port",
    kParallelPortGroup,
};

}  // namespace

const BoardRules& rulesOf(BoardKind kind) {
    return kind == BoardKind::Lpt ? kLptRules : kUsbRules;
}

std::string portPermission(BoardKind kind) {
    const BoardRules& rules = rulesOf(kind);
    return portPermissionNote(rules.boardName, rules.portGroup);
}

}  // namespace kxp40s
