#include "sim/pager_board.h"

#include <algorithm>
#include <array>

#include "image/default_tables.h"
#include "image/pager_map.h"

namespace kxp40s::sim {
namespace {

struct FaultName {
    FaultKind kind;
    std::string_view name;
};

constexpr std::array<FaultName, 6> kFaultNames{{
    {FaultKind::BadChecksum, "bad-checksum"},
    {FaultKind::NoAck, "no-ack"},
    {FaultKind::WrongAck, "wrong-ack"},
    {FaultKind::Late, "late"},
    {FaultKind::Noise, "noise"},
    {FaultKind::Unplug, "unplug"},
}};

// No 'K' among them: the host looks for the magic's first byte.
constexpr std::array<std::uint8_t, 5> kNoise{0x00, 0xFF, 0x55, 0xAA, 0x0D};

int addressOf(const Bytes& request) {
    return request[13] << 8 | request[14];
}

bool startsWithMagic(std::span<const std::uint8_t> bytes) {
    const std::size_t n = std::min(bytes.size(), kFrameMagic.size());
    return std::equal(bytes.begin(), bytes.begin() + static_cast<long>(n), kFrameMagic.begin());
}

BoardReply faulty(FaultKind kind, const Bytes& request, Bytes reply) {
    BoardReply out{std::move(reply)};
    switch (kind) {
        case FaultKind::BadChecksum:
            out.bytes.back() = static_cast<std::uint8_t>(out.bytes.back() + 1);
            break;
        case FaultKind::WrongAck: {
            const std::array<std::uint8_t, 1> nak{kNak};
            out.bytes = buildFrame(request[10], request[11], nak);
            break;
        }
        case FaultKind::Late:
            out.delayMs = kLateReplyMs;
            break;
        case FaultKind::Noise:
            out.bytes.insert(out.bytes.begin(), kNoise.begin(), kNoise.end());
            break;
        case FaultKind::Unplug:
            out.bytes.resize(out.bytes.size() / 2);
            out.unplugAfter = true;
            break;
        case FaultKind::NoAck:
            break;
    }
    return out;
}

}  // namespace

std::optional<Fault> parseFault(std::string_view text) {
    const auto at = text.find('@');
    if (at == std::string_view::npos) return std::nullopt;
    const auto name = text.substr(0, at);
    const auto number = text.substr(at + 1);
    if (number.empty() || number.size() > 6 ||
        !std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    const int frame = std::stoi(std::string(number));
    for (const auto& f : kFaultNames) {
        if (f.name == name && frame > 0) return Fault{f.kind, frame};
    }
    return std::nullopt;
}

std::string faultName(FaultKind kind) {
    for (const auto& f : kFaultNames) {
        if (f.kind == kind) return std::string(f.name);
    }
    return {};
}

PagerBoard::PagerBoard(const Image& memory, std::vector<Fault> faults)
    : memory_(memory), faults_(std::move(faults)) {}

std::vector<Exchange> PagerBoard::receive(std::span<const std::uint8_t> bytes) {
    std::vector<Exchange> exchanges;
    if (unplugged_) return exchanges;
    input_.insert(input_.end(), bytes.begin(), bytes.end());
    while (auto frame = nextFrame()) {
        exchanges.push_back(answer(std::move(*frame)));
        if (unplugged_) break;
    }
    return exchanges;
}

std::optional<Bytes> PagerBoard::nextFrame() {
    // Drop whatever cannot be the start of a frame.
    while (!input_.empty() && !startsWithMagic(input_))
        input_.erase(input_.begin());
    if (input_.size() < static_cast<std::size_t>(kHeaderSize)) return std::nullopt;
    const std::size_t size = static_cast<std::size_t>(kFrameOverhead) + input_[12];
    if (input_.size() < size) return std::nullopt;
    Bytes frame(input_.begin(), input_.begin() + static_cast<long>(size));
    input_.erase(input_.begin(), input_.begin() + static_cast<long>(size));
    return frame;
}

Exchange PagerBoard::answer(Bytes request) {
    Exchange exchange{++frames_, std::move(request), std::nullopt, faultAt(frames_)};
    auto reply = checksumMatches(exchange.request) ? replyTo(exchange.request) : std::nullopt;
    if (!reply) return exchange;
    if (!exchange.fault) {
        exchange.reply = BoardReply{std::move(*reply)};
    } else if (*exchange.fault != FaultKind::NoAck) {
        exchange.reply = faulty(*exchange.fault, exchange.request, std::move(*reply));
        unplugged_ = exchange.reply->unplugAfter;
    }
    return exchange;
}

std::optional<Bytes> PagerBoard::replyTo(const Bytes& request) {
    const std::uint8_t digit = request[10];
    const std::uint8_t letter = request[11];
    if (digit == kMemoryDigit && letter == kReadLetter) return memoryRead(request);
    if (digit == kMemoryDigit && letter == kWriteLetter) return memoryWrite(request);
    if (digit == kBoardDigit && letter == kReadLetter) {
        const std::array<std::uint8_t, 2> boardId{0x01, 0x05};
        return buildFrame(kBoardDigit, kReadLetter, boardId);
    }
    if (digit == kBoardDigit && letter == kWriteLetter) return boardControl(request);
    return std::nullopt;
}

std::optional<Bytes> PagerBoard::memoryRead(const Bytes& request) {
    if (request[12] != 3) return std::nullopt;
    const int address = addressOf(request);
    const int count = request[15];
    if (count < 1 || count > kMaxBlock || address + count > kImageSize) return std::nullopt;
    return buildFrame(kMemoryDigit, kReadLetter, memory_.read(address, count));
}

std::optional<Bytes> PagerBoard::memoryWrite(const Bytes& request) {
    const int count = request[12] - 2;
    if (count < 1) return std::nullopt;
    const int address = addressOf(request);
    if (address + count > kImageSize) return std::nullopt;
    memory_.write(address, std::span(request).subspan(15, static_cast<std::size_t>(count)));
    return frameTemplates().writeAck;
}

std::optional<Bytes> PagerBoard::boardControl(const Bytes& request) {
    if (request[12] != 2 || (request[13] != 's' && request[13] != 'r')) return std::nullopt;
    control_ = static_cast<char>(request[13]);
    return frameTemplates().boardControlAck;
}

std::optional<FaultKind> PagerBoard::faultAt(int frame) const {
    for (const auto& f : faults_) {
        if (f.frame == frame) return f.kind;
    }
    return std::nullopt;
}

Image pagerImage(Image image, std::string_view identity, std::uint8_t firmware) {
    std::string text(identity.substr(0, pager::kIdentity.length));
    text.resize(pager::kIdentity.length, ' ');
    image.write(pager::kIdentity.address,
                std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    image.set(pager::kFirmware, firmware);
    pager::storeChecksum(image.bytes(), pager::kLastAddress);
    return image;
}

namespace {

std::optional<int> numberIn(std::string text) {
    int base = 10;
    for (const char* prefix : {"0x", "0X", "&H", "&h"}) {
        if (text.starts_with(prefix)) {
            text = text.substr(2);
            base = 16;
        }
    }
    std::size_t used = 0;
    try {
        const int value = std::stoi(text, &used, base);
        if (used == text.size()) return value;
    } catch (const std::exception&) {
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::pair<int, int>> parseByteAssignment(const std::string& text) {
    const auto eq = text.find('=');
    if (eq == std::string::npos) return std::nullopt;
    const auto address = numberIn(text.substr(0, eq));
    const auto value = numberIn(text.substr(eq + 1));
    if (!address || !value || *address < 0 || *address >= kImageSize || *value < 0 || *value > 255)
        return std::nullopt;
    return std::pair{*address, *value};
}

}  // namespace kxp40s::sim
