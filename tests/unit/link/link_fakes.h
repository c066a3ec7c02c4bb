#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "link/clock.h"
#include "link/frames.h"
#include "link/link_face.h"
#include "link/serial_port.h"
#include "registry/registry_access.h"

namespace kxp40s::testing {

// Time that moves only when the code under test sleeps.
class FakeClock : public Clock {
  public:
    std::int64_t nowMs() override { return now; }
    void sleepMs(int ms) override { now += ms; }
    std::int64_t now = 1000;
};

// Records everything the link shows. Messages are answered OK; questions
// from the script of answers, Yes when it has run out.
class ScriptedFace : public LinkFace {
  public:
    Answer show(const Message& message) override {
        messages.push_back(message);
        if (message.buttons == Buttons::Ok) return Answer::Ok;
        if (answers.empty()) return Answer::Yes;
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void setTimer1Enabled(bool enabled) override { timer1.push_back(enabled); }
    void showBoardStatus(const BoardStatus& status) override { statuses.push_back(status); }
    void setProgressMaximum(int maximum) override { progressMaximum = maximum; }
    void setProgressValue(int value) override { progress.push_back(value); }
    std::vector<std::string> texts() const {
        std::vector<std::string> t;
        for (const auto& m : messages)
            t.push_back(m.text);
        return t;
    }
    std::deque<Answer> answers;
    std::vector<Message> messages;
    std::vector<bool> timer1;
    std::vector<BoardStatus> statuses;
    int progressMaximum = 0;
    std::vector<int> progress;
};

// What sits behind one port name: a function from each frame written to the
// bytes that come back (nothing: silence), after a delay.
struct FakeLine {
    std::function<std::optional<Bytes>(const Bytes& frame)> answer;
    int replyDelayMs = 0;
};

// A serial port whose lines are scripted; every frame written is logged.
// goneAfterWrites makes the device vanish after that many writes of one session.
class FakeSerialPort : public SerialPort {
  public:
    explicit FakeSerialPort(FakeClock& clock) : clock_(clock) {}

    int open(const std::string& name) override {
        close();
        opened.push_back({name, clock_.now});
        if (busy.contains(name)) return kPortBusy;
        if (denied.contains(name)) return kPortDenied;
        if (!lines.contains(name)) return kPortError;
        current_ = name;
        gone_ = false;
        writes_ = 0;
        return kOk;
    }
    int close() override {
        if (current_.empty()) return kNotOpen;
        current_.clear();
        incoming_.clear();
        return kOk;
    }
    int setup9600() override { return usable(); }
    int flush() override {
        if (int u = usable(); u != kOk) return u;
        incoming_.clear();
        return kOk;
    }
    int write(std::span<const std::uint8_t> bytes) override {
        if (int u = usable(); u != kOk) return u;
        if (goneAfterWrites >= 0 && writes_ >= goneAfterWrites) {
            gone_ = true;
            return kPortGone;
        }
        ++writes_;
        const Bytes frame(bytes.begin(), bytes.end());
        sent.push_back(frame);
        const FakeLine& line = lines.at(current_);
        if (auto reply = line.answer(frame)) {
            for (auto b : *reply)
                incoming_.push_back({clock_.now + line.replyDelayMs, b});
        }
        return static_cast<int>(bytes.size());
    }
    int read(std::span<std::uint8_t> bytes) override {
        if (int u = usable(); u != kOk) return u;
        std::size_t n = 0;
        while (n < bytes.size() && !incoming_.empty() && incoming_.front().first <= clock_.now) {
            bytes[n++] = incoming_.front().second;
            incoming_.pop_front();
        }
        return static_cast<int>(n);
    }
    int getch() override {
        std::uint8_t b = 0;
        const int n = read(std::span(&b, 1));
        return n < 0 ? n : (n == 0 ? kNoByte : b);
    }
    int bytesWaiting() override {
        if (int u = usable(); u != kOk) return u;
        int n = 0;
        for (const auto& [due, b] : incoming_)
            n += due <= clock_.now ? 1 : 0;
        return n;
    }
    int lineStatus() override { return current_.empty() ? kNotOpen : kOk; }

    bool isOpen() const { return !current_.empty(); }

    std::map<std::string, FakeLine> lines;
    std::set<std::string> busy;    // ports another program holds
    std::set<std::string> denied;  // ports this user may not open
    std::vector<Bytes> sent;
    std::vector<std::pair<std::string, std::int64_t>> opened;
    int goneAfterWrites = -1;

  private:
    int usable() const {
        if (current_.empty()) return kNotOpen;
        return gone_ ? kPortGone : kOk;
    }
    FakeClock& clock_;
    std::string current_;
    std::deque<std::pair<std::int64_t, std::uint8_t>> incoming_;
    int writes_ = 0;
    bool gone_ = false;
};

inline void listPorts(clsRegistryAccess& registry, const std::vector<std::string>& ports) {
    registry.KillKey(kSerialCommPath);
    registry.CreateKey(kSerialCommPath);
    for (std::size_t i = 0; i < ports.size(); ++i) {
        registry.WriteString(kSerialCommPath, "\\Device\\Serial" + std::to_string(i), ports[i]);
    }
}

}  // namespace kxp40s::testing
