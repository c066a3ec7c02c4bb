#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace kxp40s {

using Bytes = std::vector<std::uint8_t>;

// Every frame, in both directions, opens with this magic word, then a
// protocol digit, a command letter, the payload length L, L payload bytes and
// a 16-bit checksum (high byte first) over the bytes from the digit to the
// end of the payload.
inline constexpr std::string_view kFrameMagic = "KestrelBay";
inline constexpr int kMagicSize = 10;
inline constexpr int kHeaderSize = 13;  // magic, digit, letter, length
inline constexpr int kFrameOverhead = kHeaderSize + 2;
inline constexpr std::uint8_t kMemoryDigit = '3';
inline constexpr std::uint8_t kBoardDigit = '5';
inline constexpr std::uint8_t kReadLetter = 'R';
inline constexpr std::uint8_t kWriteLetter = 'S';
inline constexpr std::uint8_t kAck = 6;
inline constexpr int kMaxBlock = 128;

// The seven constant frames and frame starts, built once.
struct FrameTemplates {
    Bytes memoryRead;           // M "3R" 3
    Bytes memoryWrite;          // M "3S"
    Bytes writeAck;             // M "3S" 1 6 0 141
    Bytes identify;             // M "5R" 3 0 0 0 0 138
    Bytes identifyReplyPrefix;  // M "5R" 2
    Bytes boardControl;         // M "5S" 2 "s"
    Bytes boardControlAck;      // M "5S" 1 6 0 143
};
const FrameTemplates& frameTemplates();

// The sum of frame[10 .. size-3], kept to 16 bits: the frame's last two
// bytes are not summed, they are where the checksum goes.
std::uint16_t frameChecksum(std::span<const std::uint8_t> frame);
// True when the frame is long enough to carry a checksum and its last two
// bytes equal the sum of the bytes before them from offset 10.
bool checksumMatches(std::span<const std::uint8_t> frame);

// A whole frame: magic, digit, letter, payload length, payload, checksum.
Bytes buildFrame(std::uint8_t digit, std::uint8_t letter, std::span<const std::uint8_t> payload);
Bytes buildReadCommand(int address, int count);
Bytes buildWriteCommand(int address, std::span<const std::uint8_t> data);
Bytes buildBoardControl(std::uint8_t param, bool release);

// The identify reply is accepted when its checksum is right and its first 13
// bytes are the identify reply prefix (so a different length byte fails).
bool identifyReplyAccepted(std::span<const std::uint8_t> reply);

// The n data bytes of a memory read reply (n + 15 bytes long), or nothing
// when its length or checksum is wrong. Offsets 10-12 are not examined.
std::optional<Bytes> readReplyData(std::span<const std::uint8_t> reply, int count);

// How a range strt..stp is cut into blocks of at most blockSize bytes.
struct Block {
    int address;
    int count;
    bool operator==(const Block&) const = default;
};
std::vector<Block> blockPlan(int strt, int stp, int blockSize);

}  // namespace kxp40s
