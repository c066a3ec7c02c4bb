#include "link/frames.h"

#include <algorithm>
#include <stdexcept>

namespace kxp40s {
namespace {

Bytes frameStart(std::uint8_t digit, std::uint8_t letter) {
    Bytes frame(kFrameMagic.begin(), kFrameMagic.end());
    frame.push_back(digit);
    frame.push_back(letter);
    return frame;
}

Bytes withTail(Bytes frame, std::initializer_list<std::uint8_t> tail) {
    frame.insert(frame.end(), tail);
    return frame;
}

// Appends the two checksum bytes to a frame whose payload is complete.
Bytes sealed(Bytes frame) {
    frame.push_back(0);
    frame.push_back(0);
    const std::uint16_t sum = frameChecksum(frame);
    frame[frame.size() - 2] = static_cast<std::uint8_t>(sum >> 8);
    frame[frame.size() - 1] = static_cast<std::uint8_t>(sum & 0xFF);
    return frame;
}

void checkAddress(int address, int count) {
    if (address < 0 || address > 0xFFFF || count < 1 || count > kMaxBlock) {
        throw std::out_of_range("frame address or count out of range");
    }
}

FrameTemplates buildTemplates() {
    FrameTemplates t;
    t.memoryRead = withTail(frameStart(kMemoryDigit, kReadLetter), {3});
    t.memoryWrite = frameStart(kMemoryDigit, kWriteLetter);
    t.writeAck = sealed(withTail(frameStart(kMemoryDigit, kWriteLetter), {1, kAck}));
    t.identify = sealed(withTail(frameStart(kBoardDigit, kReadLetter), {3, 0, 0, 0}));
    t.identifyReplyPrefix = withTail(frameStart(kBoardDigit, kReadLetter), {2});
    t.boardControl = withTail(frameStart(kBoardDigit, kWriteLetter), {2, 's'});
    t.boardControlAck = sealed(withTail(frameStart(kBoardDigit, kWriteLetter), {1, kAck}));
    return t;
}

}  // namespace

const FrameTemplates& frameTemplates() {
    static const FrameTemplates templates = buildTemplates();
    return templates;
}

std::uint16_t frameChecksum(std::span<const std::uint8_t> frame) {
    std::uint16_t sum = 0;
    for (std::size_t i = kMagicSize; i + 2 < frame.size(); ++i) {
        sum = static_cast<std::uint16_t>(sum + frame[i]);
    }
    return sum;
}

bool checksumMatches(std::span<const std::uint8_t> frame) {
    if (frame.size() < static_cast<std::size_t>(kFrameOverhead)) return false;
    const std::uint16_t sum = frameChecksum(frame);
    return frame[frame.size() - 2] == (sum >> 8) && frame[frame.size() - 1] == (sum & 0xFF);
}

Bytes buildFrame(std::uint8_t digit, std::uint8_t letter, std::span<const std::uint8_t> payload) {
    Bytes frame = withTail(frameStart(digit, letter), {static_cast<std::uint8_t>(payload.size())});
    frame.insert(frame.end(), payload.begin(), payload.end());
    return sealed(std::move(frame));
}

Bytes buildReadCommand(int address, int count) {
    checkAddress(address, count);
    return sealed(withTail(frameTemplates().memoryRead, {static_cast<std::uint8_t>(address >> 8),
                                                         static_cast<std::uint8_t>(address & 0xFF),
                                                         static_cast<std::uint8_t>(count)}));
}

Bytes buildWriteCommand(int address, std::span<const std::uint8_t> data) {
    const int count = static_cast<int>(data.size());
    checkAddress(address, count);
    Bytes frame =
        withTail(frameTemplates().memoryWrite,
                 {static_cast<std::uint8_t>(count + 2), static_cast<std::uint8_t>(address >> 8),
                  static_cast<std::uint8_t>(address & 0xFF)});
    frame.insert(frame.end(), data.begin(), data.end());
    return sealed(std::move(frame));
}

Bytes buildBoardControl(std::uint8_t param, bool release) {
    Bytes frame = frameTemplates().boardControl;
    frame.back() = release ? 'r' : 's';
    frame.push_back(release ? 0 : param);
    return sealed(std::move(frame));
}

bool identifyReplyAccepted(std::span<const std::uint8_t> reply) {
    const Bytes& prefix = frameTemplates().identifyReplyPrefix;
    return reply.size() == prefix.size() + 4 && checksumMatches(reply) &&
           std::equal(prefix.begin(), prefix.end(), reply.begin());
}

std::optional<Bytes> readReplyData(std::span<const std::uint8_t> reply, int count) {
    if (count < 0 || reply.size() != static_cast<std::size_t>(count + kFrameOverhead) ||
        !checksumMatches(reply)) {
        return std::nullopt;
    }
    const auto data = reply.subspan(kHeaderSize, static_cast<std::size_t>(count));
    return Bytes(data.begin(), data.end());
}

std::vector<Block> blockPlan(int strt, int stp, int blockSize) {
    if (blockSize < 1) throw std::out_of_range("block size must be positive");
    std::vector<Block> plan;
    for (int a = strt; a <= stp; a += blockSize) {
        plan.push_back({a, std::min(blockSize, stp - a + 1)});
    }
    return plan;
}

}  // namespace kxp40s
