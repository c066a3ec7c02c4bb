#include "link/serial_link.h"

#include <gtest/gtest.h>

#include <numeric>

#include "unit/link/link_fakes.h"

namespace kxp40s {
namespace {

using testing::FakeClock;
using testing::FakeLine;
using testing::FakeSerialPort;
using testing::ScriptedFace;

// A board as the link expects it, over a memory of 2048 bytes.
struct TestBoard {
    Bytes memory = Bytes(2048);
    Bytes readReply;  // when set, every memory read gets this reply instead
    Bytes writeReply;
    bool silentToControl = false;

    std::optional<Bytes> operator()(const Bytes& f) {
        const int address = f[13] << 8 | f[14];
        if (f[10] == '5' && f[11] == 'R') return buildFrame('5', 'R', Bytes{1, 5});
        if (f[10] == '5')
            return silentToControl ? std::nullopt : std::optional(frameTemplates().boardControlAck);
        if (f[11] == 'R') {
            if (!readReply.empty()) return readReply;
            return buildFrame('3', 'R', std::span(memory).subspan(address, f[15]));
        }
        std::copy(f.begin() + 15, f.end() - 2, memory.begin() + address);
        return writeReply.empty() ? frameTemplates().writeAck : writeReply;
    }
};

struct LinkRig {
    LinkRig() {
        std::iota(board->memory.begin(), board->memory.end(), 0);
        port.lines[kBoardPath] = FakeLine{[b = board](const Bytes& f) { return (*b)(f); }};
        testing::listPorts(registry, {kBoardPath});
        state.BoardPort = kBoardPath;
    }

    static constexpr const char* kBoardPath = "/dev/ttyUSB0";
    FakeClock clock;
    FakeSerialPort port{clock};
    MemoryRegistryStore store;
    clsRegistryAccess registry{store};
    ScriptedFace face;
    LinkState state;
    SerialLink link{state, port, clock, registry, face};
    std::shared_ptr<TestBoard> board = std::make_shared<TestBoard>();
};

class SerialLinkTest : public ::testing::Test, public LinkRig {};

TEST_F(SerialLinkTest, WholeMemoryReadSendsSixteenBlocksAndFillsReadBuffer) {
    ASSERT_TRUE(SerialRead(link, 0, 2047));
    ASSERT_EQ(port.sent.size(), 16u);
    for (const auto& frame : port.sent) {
        EXPECT_EQ(frame.size(), 18u);
        EXPECT_EQ(frame[15], 128);
    }
    EXPECT_EQ(state.ReadBuffer, board->memory);
    EXPECT_EQ(face.progress.back(), 2048);
    EXPECT_FALSE(port.isOpen());
    EXPECT_TRUE(face.messages.empty());
    // The fixed pause of 300 ms before every reply is waited for.
    EXPECT_GE(clock.now - port.opened.front().second, 16 * kReadPauseMs);
}

TEST_F(SerialLinkTest, FastReadSendsTheSameFramesWithoutThePauses) {
    ASSERT_TRUE(SerialRead(link, 0, 2047));
    const auto slowFrames = port.sent;
    port.sent.clear();
    state.pauseBeforeReplies = false;
    const auto start = clock.now;
    ASSERT_TRUE(SerialRead(link, 0, 2047));
    EXPECT_EQ(port.sent, slowFrames);
    EXPECT_EQ(state.ReadBuffer, board->memory);
    EXPECT_LT(clock.now - start, kReadPauseMs);
}

TEST_F(SerialLinkTest, OneByteReadAsksForOneByteOnly) {
    ASSERT_TRUE(SerialRead(link, 1113, 1113));
    ASSERT_EQ(port.sent.size(), 1u);
    EXPECT_EQ(port.sent[0][15], 1);
    EXPECT_EQ(state.ReadBuffer.size(), 1114u);
    EXPECT_EQ(state.ReadBuffer[1113], board->memory[1113]);
}

TEST_F(SerialLinkTest, WholeMemoryWriteSendsSixteenFramesOf145Bytes) {
    Bytes image(2048, 0x5A);
    ASSERT_TRUE(SerialWrite(link, image, 0, 2047));
    ASSERT_EQ(port.sent.size(), 16u);
    for (const auto& frame : port.sent)
        EXPECT_EQ(frame.size(), 145u);
    EXPECT_EQ(board->memory, image);
    EXPECT_EQ(face.progress.front(), 0);
    EXPECT_EQ(face.progress.back(), 2048);
    EXPECT_FALSE(port.isOpen());
}

TEST_F(SerialLinkTest, ReadWaitsTwoSecondsForAReplyThenTimesOut) {
    struct Case {
        int delayMs;
        bool ok;
    };
    for (const Case c : {Case{kReadPauseMs + 1990, true}, Case{kReadPauseMs + 2020, false}}) {
        SCOPED_TRACE(c.delayMs);
        port.lines[kBoardPath].replyDelayMs = c.delayMs;
        face.messages.clear();
        EXPECT_EQ(SerialRead(link, 0, 0), c.ok);
        EXPECT_EQ(face.texts(),
                  c.ok ? std::vector<std::string>{} : std::vector<std::string>{kReadTimeOutText});
    }
}

constexpr const char* kInUseText = "/dev/ttyUSB0 is in use by another program.";

TEST_F(SerialLinkTest, EveryFailureShowsItsMessageAndLeavesItsState) {
    struct Case {
        const char* name;
        std::function<void(LinkRig&)> arrange;
        std::function<bool(SerialLink&)> run;
        const char* text;
        bool boardKept;
    };
    const auto read = [](SerialLink& l) { return SerialRead(l, 0, 2047); };
    const auto write = [](SerialLink& l) { return SerialWrite(l, Bytes(2048), 0, 2047); };
    const Case cases[] = {
        {"read reply late", [](auto& t) { t.port.lines[kBoardPath].replyDelayMs = 2400; }, read,
         kReadTimeOutText, true},
        {"read reply checksum wrong",
         [](auto& t) {
             t.board->readReply = buildFrame('3', 'R', Bytes(128));
             t.board->readReply.back() ^= 1;
         },
         read, kReadErrorText, true},
        {"write acknowledgement late",
         [](auto& t) { t.port.lines[kBoardPath].replyDelayMs = 2100; }, write, kWriteErrorText,
         true},
        {"write acknowledgement wrong",
         [](auto& t) { t.board->writeReply = buildFrame('3', 'S', Bytes{21}); }, write,
         kWriteErrorText, true},
        {"read library error", [](auto& t) { t.port.goneAfterWrites = 3; }, read, kReadErrorText,
         false},
        {"write library error", [](auto& t) { t.port.goneAfterWrites = 5; }, write, kWriteErrorText,
         false},
        {"board port missing", [](auto& t) { t.state.BoardPort = "/dev/gone"; }, read,
         kReadErrorText, false},
        {"board control not acknowledged", [](auto& t) { t.board->silentToControl = true; },
         [](SerialLink& l) { return BoardCommand(l, 1, true); }, kInitialErrorText, true},
        {"read on a port in use", [](auto& t) { t.port.busy.insert(kBoardPath); }, read, kInUseText,
         true},
        {"write on a port in use", [](auto& t) { t.port.busy.insert(kBoardPath); }, write,
         kInUseText, true},
        {"board control on a port in use", [](auto& t) { t.port.busy.insert(kBoardPath); },
         [](SerialLink& l) { return BoardCommand(l, 1, true); }, kInUseText, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LinkRig t;
        c.arrange(t);
        t.state.SerialPortCount = 7;
        EXPECT_FALSE(c.run(t.link));
        EXPECT_EQ(t.face.messages, (std::vector{warning(c.text, kShortTitle)}));
        EXPECT_FALSE(t.port.isOpen());
        if (c.boardKept) {
            EXPECT_EQ(t.state.BoardPort, kBoardPath);
            EXPECT_TRUE(t.face.statuses.empty());
        } else {
            EXPECT_EQ(t.state.BoardPort, "");
            EXPECT_EQ(t.state.SerialPortCount, 1);  // the port list was read again
            EXPECT_EQ(t.face.statuses, std::vector{disconnectedStatus()});
        }
    }
}

TEST_F(SerialLinkTest, BoardConnectSkipsUnusablePortsAndStartsTheBoard) {
    port.lines["/dev/ttyS0"] = FakeLine{[](const Bytes&) { return std::nullopt; }};
    testing::listPorts(registry, {"COM", "/dev/ttyS0", kBoardPath});
    state.BoardPort.clear();
    state.ConnectInteractive = true;

    EXPECT_TRUE(BoardConnect(link));
    EXPECT_EQ(state.BoardPort, kBoardPath);
    EXPECT_EQ(state.SerialPortCount, 3);
    EXPECT_EQ(port.sent.back(), buildBoardControl(1, false));
    EXPECT_EQ(face.timer1, (std::vector<bool>{false, true}));
    EXPECT_TRUE(face.messages.empty());
    EXPECT_FALSE(port.isOpen());
    // The silent port was tried for about a second at most, then closed.
    ASSERT_EQ(port.opened.size(), 3u);  // COM, ttyS0, and the board kept open to start it
    const auto silentOpen = port.opened[1].second;
    const auto boardOpen = port.opened[2].second;
    EXPECT_GT(boardOpen - silentOpen, kReplyWaitMs);
    EXPECT_LE(boardOpen - silentOpen, 2 * kReplyWaitMs + 10);
}

// A port another program holds (a modem, a second tool) is not the board:
// the search passes over it without a word, the probe marks it.
TEST_F(SerialLinkTest, TheSearchPassesOverAPortInUseWithoutAWord) {
    port.busy.insert("/dev/ttyS0");
    port.lines["/dev/ttyS0"] = FakeLine{[](const Bytes&) { return std::nullopt; }};
    testing::listPorts(registry, {"/dev/ttyS0", kBoardPath});
    for (const bool interactive : {true, false}) {
        SCOPED_TRACE(interactive);
        state.BoardPort.clear();
        state.ConnectInteractive = interactive;
        EXPECT_TRUE(BoardConnect(link));
        EXPECT_EQ(state.BoardPort, kBoardPath);
        EXPECT_TRUE(face.messages.empty());
    }
    EXPECT_EQ(IdentifyBoard(link, "/dev/ttyS0"), PortFound::Busy);
    EXPECT_EQ(IdentifyBoard(link, kBoardPath), PortFound::Board);
    EXPECT_TRUE(face.messages.empty());
    EXPECT_EQ(IdentifyBoard(link, "/dev/ttyS0", true), PortFound::Busy);
    EXPECT_EQ(face.messages,
              std::vector{warning("/dev/ttyS0 is in use by another program.", kShortTitle)});
}

TEST_F(SerialLinkTest, FailedSearchWarnsOnlyWhenInteractive) {
    port.lines[kBoardPath] = FakeLine{[](const Bytes&) { return std::nullopt; }};
    for (bool interactive : {true, false}) {
        SCOPED_TRACE(interactive);
        face.messages.clear();
        state.ConnectInteractive = interactive;
        state.SerialPortCount = 0;
        EXPECT_FALSE(BoardConnect(link));
        EXPECT_EQ(state.BoardPort, "");
        EXPECT_EQ(state.SerialPortCount, 0);
        EXPECT_EQ(face.messages.size(), interactive ? 1u : 0u);
        if (interactive) {
            EXPECT_EQ(face.messages[0], warning(kNotRespondingText, kShortTitle));
        }
    }
}

// A board on a port the user may not open (not in the group dialout) cannot
// be found: the failed search names such ports after its message.
TEST_F(SerialLinkTest, FailedSearchNamesThePortsTheUserMayNotOpen) {
    const std::string silent = "/dev/ttyS0";
    port.lines[silent] = FakeLine{[](const Bytes&) { return std::nullopt; }};
    testing::listPorts(registry, {silent, kBoardPath});
    const FakeLine boardLine = port.lines[kBoardPath];
    const std::string tail =
        ": permission denied. Add your user to the group dialout and log in again.";
    struct Case {
        const char* name;
        std::set<std::string> denied;
        bool boardAnswers;
        std::string text;  // of the one message; empty: the board is found
    };
    const Case cases[] = {
        {"no port refused, no board", {}, false, kNotRespondingText},
        {"the board's port refused",
         {kBoardPath},
         true,
         kNotRespondingText + ("\n" + std::string(kBoardPath) + tail)},
        {"both ports refused",
         {silent, kBoardPath},
         true,
         kNotRespondingText + ("\n" + silent + ", " + kBoardPath + tail)},
        {"another port refused, the board found", {silent}, true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        port.denied = c.denied;
        port.lines[kBoardPath] = c.boardAnswers ? boardLine : port.lines[silent];
        for (const bool interactive : {true, false}) {
            SCOPED_TRACE(interactive);
            face.messages.clear();
            state.BoardPort.clear();
            state.ConnectInteractive = interactive;
            EXPECT_EQ(BoardConnect(link), c.text.empty());
            const bool said = interactive && !c.text.empty();
            EXPECT_EQ(face.messages,
                      said ? std::vector{warning(c.text, kShortTitle)} : std::vector<Message>{});
        }
    }
    EXPECT_EQ(IdentifyBoard(link, silent), PortFound::Denied);
}

// A port named by the user is taken alone: the board on it is started; any
// other port gets the message the search would give, saying why.
TEST_F(SerialLinkTest, NamedPortIsTakenAloneAndSaysWhyItFailed) {
    const std::string silent = "/dev/ttyS0";
    port.lines[silent] = FakeLine{[](const Bytes&) { return std::nullopt; }};
    struct Case {
        const char* name;
        std::string port;
        void (*prepare)(FakeSerialPort&, const std::string&);
        std::string text;  // of the one message; empty: the board is taken
    };
    const auto none = [](FakeSerialPort&, const std::string&) {};
    const Case cases[] = {
        {"the board's port", kBoardPath, none, ""},
        {"a port where nothing answers", silent, none, kNotRespondingText},
        {"a port this user may not open", kBoardPath,
         [](FakeSerialPort& p, const std::string& name) { p.denied.insert(name); },
         kNotRespondingText + ("\n" + std::string(kBoardPath) +
                               ": permission denied. Add your user to the group dialout and "
                               "log in again.")},
        {"a port another program holds", kBoardPath,
         [](FakeSerialPort& p, const std::string& name) { p.busy.insert(name); },
         std::string(kBoardPath) + " is in use by another program."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        port.denied.clear();
        port.busy.clear();
        c.prepare(port, c.port);
        face.messages.clear();
        EXPECT_EQ(BoardConnectOn(link, c.port), c.text.empty());
        EXPECT_EQ(state.BoardPort, c.text.empty() ? c.port : "");
        EXPECT_EQ(face.messages, c.text.empty() ? std::vector<Message>{}
                                                : std::vector{warning(c.text, kShortTitle)});
    }
}

TEST_F(SerialLinkTest, MonitorFollowsTheBoardAsTheTableSays) {
    const std::string other = "/dev/ttyACM0";
    port.lines[other] = FakeLine{[](const Bytes&) { return std::nullopt; }};
    struct Step {
        const char* name;
        std::vector<std::string> ports;
        std::string boardPortBefore;
        int countBefore;
        BoardStatus status;
        std::string boardPortAfter;
    };
    const Step steps[] = {
        {"board plugged after start", {kBoardPath}, "", 0, connectedStatus(), kBoardPath},
        {"board unplugged", {}, kBoardPath, 1, disconnectedStatus(), ""},
        {"unrelated port added", {kBoardPath, other}, kBoardPath, 1, connectedStatus(), kBoardPath},
        {"failed start-up search searches on the first tick",
         {other, kBoardPath},
         "",
         0,
         connectedStatus(),
         kBoardPath},
        {"no new port, no search", {kBoardPath}, "", 1, disconnectedStatus(), ""},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.name);
        testing::listPorts(registry, s.ports);
        state.BoardPort = s.boardPortBefore;
        state.SerialPortCount = s.countBefore;
        face.timer1.clear();
        const auto sentBefore = port.sent.size();
        EXPECT_EQ(Timer1_Timer(link), s.status);
        EXPECT_EQ(face.statuses.back(), s.status);
        EXPECT_EQ(state.BoardPort, s.boardPortAfter);
        EXPECT_EQ(state.SerialPortCount, static_cast<int>(s.ports.size()));
        EXPECT_EQ(face.timer1, (std::vector<bool>{false, true}));
        if (s.boardPortBefore == s.boardPortAfter) {
            EXPECT_EQ(port.sent.size(), sentBefore);
        }
    }
    EXPECT_TRUE(face.messages.empty());
}

TEST_F(SerialLinkTest, BlockFailureTurnsStatusRedUntilThePortCountGrows) {
    state.SerialPortCount = 1;
    port.goneAfterWrites = 0;
    EXPECT_FALSE(SerialRead(link, 0, 0));
    EXPECT_EQ(face.statuses.back(), disconnectedStatus());

    port.goneAfterWrites = -1;
    port.lines.erase(kBoardPath);  // a fresh fake: the device is back
    port.lines[kBoardPath] = FakeLine{[b = board](const Bytes& f) { return (*b)(f); }};
    EXPECT_EQ(Timer1_Timer(link), disconnectedStatus());

    testing::listPorts(registry, {kBoardPath, "/dev/ttyUSB1"});
    EXPECT_EQ(Timer1_Timer(link), connectedStatus());
}

}  // namespace
}  // namespace kxp40s
