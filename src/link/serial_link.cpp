#include "link/serial_link.h"

#include <algorithm>
#include <stdexcept>

namespace kxp40s {
namespace {

enum class Wait { Arrived, TimedOut, Failed };
enum class Opened { Yes, No, Busy, Denied };

Message linkWarning(const char* text) {
    return warning(text, kShortTitle);
}

bool timedOut(SerialLink& link, std::int64_t start, int limitMs) {
    return link.clock.nowMs() - start > limitMs;
}

// Polls single bytes until the first byte of the magic arrives; bytes before
// it are dropped.
bool waitForFrameStart(SerialLink& link, int limitMs) {
    const std::int64_t start = link.clock.nowMs();
    for (;;) {
        const int byte = link.port.getch();
        if (byte == static_cast<std::uint8_t>(kFrameMagic.front())) return true;
        if (byte < SerialPort::kNoByte || timedOut(link, start, limitMs)) return false;
        pollPause(link.clock);
    }
}

Wait waitForBytes(SerialLink& link, int count, int limitMs) {
    const std::int64_t start = link.clock.nowMs();
    for (;;) {
        const int waiting = link.port.bytesWaiting();
        if (waiting < 0) return Wait::Failed;
        if (waiting >= count) return Wait::Arrived;
        if (timedOut(link, start, limitMs)) return Wait::TimedOut;
        pollPause(link.clock);
    }
}

// Reads count bytes; the result is shorter when fewer came, nothing on a
// port error.
std::optional<Bytes> readBytes(SerialLink& link, int count) {
    Bytes bytes(static_cast<std::size_t>(count));
    const int got = link.port.read(bytes);
    if (got < 0) return std::nullopt;
    bytes.resize(static_cast<std::size_t>(got));
    return bytes;
}

bool writeFrame(SerialLink& link, const Bytes& frame) {
    return link.port.write(frame) >= 0;
}

void closeIfOpen(SerialLink& link) {
    if (link.port.lineStatus() >= 0) link.port.close();
}

// A port held by another program is refused at once: talking to a board
// that another program drives could only end in misleading time-outs, or
// worse, in two writes mixed on one pager. The board's own port says so;
// the search passes over it without a word, as it is not the board.
Opened openPort(SerialLink& link, const std::string& port, bool sayBusy = true) {
    const int opened = link.port.open(port);
    if (opened == SerialPort::kPortBusy) {
        if (sayBusy) link.face.show(linkWarning((port + " is in use by another program.").c_str()));
        return Opened::Busy;
    }
    if (opened == SerialPort::kPortDenied) return Opened::Denied;
    if (opened != SerialPort::kOk || link.port.setup9600() != SerialPort::kOk) {
        link.port.close();
        return Opened::No;
    }
    return Opened::Yes;
}

// A port that did not open fails at the next call, as a library error; one
// in use ends the operation with the message already shown, the board kept.
Opened openIfClosed(SerialLink& link) {
    if (link.port.lineStatus() >= 0) return Opened::Yes;
    return openPort(link, link.state.BoardPort);
}

// A port error inside a block operation: the board is taken as gone.
bool blockFailure(SerialLink& link, const char* text) {
    closeIfOpen(link);
    link.state.BoardPort.clear();
    link.state.SerialPortCount = static_cast<int>(listSerialPorts(link.registry).size());
    link.face.showBoardStatus(disconnectedStatus());
    link.face.show(linkWarning(text));
    return false;
}

// A reply that is late or wrong: the board stays known.
bool blockRejected(SerialLink& link, const char* text) {
    link.face.show(linkWarning(text));
    closeIfOpen(link);
    return false;
}

bool stopAsked(const SerialLink& link) {
    return link.state.stop && link.state.stop->requested();
}

// Between two blocks: a stop asked for ends the operation here, saying
// nothing; the blocks already exchanged stay exchanged.
bool stoppedBetweenBlocks(SerialLink& link) {
    if (!stopAsked(link)) return false;
    closeIfOpen(link);
    return true;
}

void checkRange(int strt, int stp, int blockSize, std::size_t dataSize) {
    if (strt < 0 || stp > 0xFFFF || blockSize < 1 || blockSize > kMaxBlock ||
        (stp >= strt && static_cast<std::size_t>(stp) >= dataSize)) {
        throw std::out_of_range("pager memory range out of bounds");
    }
}

bool boardAnswers(SerialLink& link) {
    link.port.flush();
    if (!writeFrame(link, frameTemplates().identify)) return false;
    if (!waitForFrameStart(link, kReplyWaitMs)) return false;
    const int rest = static_cast<int>(frameTemplates().identifyReplyPrefix.size()) + 3;
    if (waitForBytes(link, rest, kReplyWaitMs) != Wait::Arrived) return false;
    const auto tail = readBytes(link, rest);
    if (!tail) return false;
    Bytes reply{static_cast<std::uint8_t>(kFrameMagic.front())};
    reply.insert(reply.end(), tail->begin(), tail->end());
    return identifyReplyAccepted(reply);
}

// Leaves the port open when the board answered.
PortFound identifyExchange(SerialLink& link, const std::string& port, bool sayBusy) {
    if (link.port.lineStatus() >= 0) link.port.close();
    switch (openPort(link, port, sayBusy)) {
        case Opened::Busy:
            return PortFound::Busy;
        case Opened::Denied:
            return PortFound::Denied;
        case Opened::No:
            return PortFound::Nothing;
        case Opened::Yes:
            break;
    }
    return boardAnswers(link) ? PortFound::Board : PortFound::Nothing;
}

enum class Control { Acknowledged, Failed, PortBusy };

Control boardControlExchange(SerialLink& link, std::uint8_t param, bool release) {
    if (openIfClosed(link) == Opened::Busy) return Control::PortBusy;
    if (link.port.flush() < 0) return Control::Failed;
    if (!writeFrame(link, buildBoardControl(param, release))) return Control::Failed;
    const Bytes& ack = frameTemplates().boardControlAck;
    const int rest = static_cast<int>(ack.size()) - 1;
    if (!waitForFrameStart(link, kReplyWaitMs)) return Control::Failed;
    if (waitForBytes(link, rest, kReplyWaitMs) != Wait::Arrived) return Control::Failed;
    const auto tail = readBytes(link, rest);
    return tail && std::equal(tail->begin(), tail->end(), ack.begin() + 1, ack.end())
               ? Control::Acknowledged
               : Control::Failed;
}

bool readBlocks(SerialLink& link, int strt, int stp, int blockSize) {
    if (openIfClosed(link) == Opened::Busy) return false;
    if (link.port.flush() < 0) return blockFailure(link, kReadErrorText);
    for (const Block& block : blockPlan(strt, stp, blockSize)) {
        if (stoppedBetweenBlocks(link)) return false;
        if (!writeFrame(link, buildReadCommand(block.address, block.count))) {
            return blockFailure(link, kReadErrorText);
        }
        if (link.state.pauseBeforeReplies) DelayMs(link.clock, kReadPauseMs);
        const int replySize = block.count + kFrameOverhead;
        switch (waitForBytes(link, replySize, kBlockWaitMs)) {
            case Wait::Failed:
                return blockFailure(link, kReadErrorText);
            case Wait::TimedOut:
                return blockRejected(link, kReadTimeOutText);
            case Wait::Arrived:
                break;
        }
        const auto reply = readBytes(link, replySize);
        if (!reply) return blockFailure(link, kReadErrorText);
        const auto data = readReplyData(*reply, block.count);
        if (!data) return blockRejected(link, kReadErrorText);
        std::copy(data->begin(), data->end(), link.state.ReadBuffer.begin() + block.address);
        if (strt == 0) link.face.setProgressValue(block.address + blockSize);
    }
    if (link.port.close() < 0) return blockFailure(link, kReadErrorText);
    return true;
}

bool writeBlocks(SerialLink& link, std::span<const std::uint8_t> data, int strt, int stp,
                 int blockSize) {
    if (openIfClosed(link) == Opened::Busy) return false;
    if (link.port.flush() < 0) return blockFailure(link, kWriteErrorText);
    link.face.setProgressMaximum(stp - 16);
    link.face.setProgressValue(strt);
    link.face.setProgressColour(kColourHighlight);
    link.face.setStatusText(kWritingText);
    link.clock.pumpEvents();
    const Bytes& ack = frameTemplates().writeAck;
    for (const Block& block : blockPlan(strt, stp, blockSize)) {
        if (stoppedBetweenBlocks(link)) return false;
        const auto blockData = data.subspan(static_cast<std::size_t>(block.address),
                                            static_cast<std::size_t>(block.count));
        if (!writeFrame(link, buildWriteCommand(block.address, blockData))) {
            return blockFailure(link, kWriteErrorText);
        }
        switch (waitForBytes(link, static_cast<int>(ack.size()), kBlockWaitMs)) {
            case Wait::Failed:
                return blockFailure(link, kWriteErrorText);
            case Wait::TimedOut:
                return blockRejected(link, kWriteErrorText);
            case Wait::Arrived:
                break;
        }
        const auto reply = readBytes(link, static_cast<int>(ack.size()));
        if (!reply) return blockFailure(link, kWriteErrorText);
        if (*reply != ack) return blockRejected(link, kWriteErrorText);
        link.face.setProgressValue(block.address + block.count);
    }
    if (link.port.close() < 0) return blockFailure(link, kWriteErrorText);
    return true;
}

}  // namespace

BoardStatus connectedStatus() {
    return {kBoardConnectText, kColourBlack, true};
}
BoardStatus disconnectedStatus() {
    return {kBoardDisconnectText, kColourRed, false};
}

BoardStatus boardStatus(bool connected) {
    return connected ? connectedStatus() : disconnectedStatus();
}

std::vector<std::string> listSerialPorts(clsRegistryAccess& registry) {
    std::vector<std::string> names;
    std::vector<std::string> ports;
    int count = 0;
    registry.EnumValues(kSerialCommPath, names, ports, -1, count);
    if (count < 0) ports.clear();
    return ports;
}

bool OpenBoardPort(SerialLink& link, const std::string& port) {
    return openPort(link, port) == Opened::Yes;
}

PortFound IdentifyBoard(SerialLink& link, const std::string& port, bool sayBusy) {
    const PortFound found = identifyExchange(link, port, sayBusy);
    link.port.close();
    return found;
}

bool BoardConnect(SerialLink& link) {
    const bool interactive = link.state.ConnectInteractive;
    if (interactive) link.face.setTimer1Enabled(false);
    link.clock.pumpEvents();
    const auto ports = listSerialPorts(link.registry);
    std::vector<std::string> denied;
    for (const auto& port : ports) {
        link.state.BoardPort = port;
        const PortFound found = identifyExchange(link, port, false);
        if (found == PortFound::Board) {
            BoardCommand(link, 1, false);
            link.state.SerialPortCount = static_cast<int>(ports.size());
            if (interactive) link.face.setTimer1Enabled(true);
            return true;
        }
        if (found == PortFound::Denied) denied.push_back(port);
        link.port.close();
    }
    if (interactive)
        link.face.show(notRespondingMessage(permissionDeniedLine(denied, kSerialPortGroup)));
    link.state.BoardPort.clear();
    if (interactive) link.face.setTimer1Enabled(true);
    return false;
}

bool BoardConnectOn(SerialLink& link, const std::string& port) {
    link.state.BoardPort = port;
    const PortFound found = identifyExchange(link, port, true);
    link.port.close();
    if (found == PortFound::Board) {
        BoardCommand(link, 1, false);
        return true;
    }
    if (found == PortFound::Nothing) link.face.show(notRespondingMessage());
    if (found == PortFound::Denied)
        link.face.show(notRespondingMessage(permissionDeniedLine({port}, kSerialPortGroup)));
    link.state.BoardPort.clear();
    return false;
}

bool BoardCommand(SerialLink& link, std::uint8_t param, bool release) {
    const Control result = boardControlExchange(link, param, release);
    link.port.close();
    if (result == Control::Failed) link.face.show(linkWarning(kInitialErrorText));
    return result == Control::Acknowledged;
}

bool SerialRead(SerialLink& link, int strt, int stp, int blockSize) {
    checkRange(strt, stp, blockSize, static_cast<std::size_t>(std::max(stp, 0)) + 1);
    link.state.ReadBuffer.assign(static_cast<std::size_t>(std::max(stp, 0)) + 1, 0);
    link.clock.pumpEvents();
    try {
        return readBlocks(link, strt, stp, blockSize);
    } catch (const std::exception&) {
        return blockFailure(link, kReadErrorText);
    }
}

bool SerialWrite(SerialLink& link, std::span<const std::uint8_t> data, int strt, int stp,
                 int blockSize) {
    checkRange(strt, stp, blockSize, data.size());
    try {
        return writeBlocks(link, data, strt, stp, blockSize);
    } catch (const std::exception&) {
        return blockFailure(link, kWriteErrorText);
    }
}

std::optional<std::vector<std::uint8_t>> SerialPagerLink::readBytes(int first, int last) {
    if (!SerialRead(link_, first, last)) return std::nullopt;
    const auto& buffer = link_.state.ReadBuffer;
    return std::vector<std::uint8_t>(buffer.begin() + first, buffer.begin() + last + 1);
}

Result SerialPagerLink::readMemory(int strt, int stp, std::span<std::uint8_t> into) {
    if (!SerialRead(link_, strt, stp)) return failure();
    const auto& buffer = link_.state.ReadBuffer;
    std::copy(buffer.begin() + strt, buffer.begin() + stp + 1, into.begin() + strt);
    return Result::Done;
}

Result SerialPagerLink::writeMemory(std::span<const std::uint8_t> data, int strt, int stp) {
    return SerialWrite(link_, data, strt, stp) ? Result::Done : failure();
}

// The whole range is read, then compared: the pager's bytes are at hand
// when they differ.
Comparison SerialPagerLink::compareMemory(std::span<const std::uint8_t> data, int strt, int stp) {
    if (!SerialRead(link_, strt, stp)) return {failure(), false, std::nullopt};
    const auto& buffer = link_.state.ReadBuffer;
    const auto first = buffer.begin() + strt;
    const auto end = buffer.begin() + stp + 1;
    if (std::equal(first, end, data.begin() + strt)) return {};
    return {Result::Done, true, std::vector<std::uint8_t>(first, end)};
}

Result SerialPagerLink::failure() const {
    return stopAsked(link_) ? Result::Stopped : Result::Failed;
}

BoardStatus Timer1_Timer(SerialLink& link) {
    link.face.setTimer1Enabled(false);
    const auto ports = listSerialPorts(link.registry);
    const int count = static_cast<int>(ports.size());
    bool connected = false;
    if (count > link.state.SerialPortCount && link.state.BoardPort.empty()) {
        connected = BoardConnect(link);
    } else {
        connected = !link.state.BoardPort.empty() &&
                    std::find(ports.begin(), ports.end(), link.state.BoardPort) != ports.end();
    }
    if (!connected) link.state.BoardPort.clear();
    const BoardStatus status = boardStatus(connected);
    link.face.showBoardStatus(status);
    link.state.SerialPortCount = count;
    link.face.setTimer1Enabled(true);
    return status;
}

}  // namespace kxp40s
