// kxp40s-sim: a programmer board with a KXP40 pager on it, behind a
// pseudo-terminal. Prints the pty's path on its first line; with --trace one
// line per frame follows. Ends on SIGINT/SIGTERM or when a fault unplugs it.
// With --lpt PATH it is the parallel-port board instead, on a Unix socket at
// PATH (printed on the first line once it listens); --trace then gives a line
// per start, stop and byte on the memory's bus.
#include <algorithm>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "app/startup.h"
#include "app/version.h"
#include "files/table_file.h"
#include "link/clock.h"
#include "sim/lpt_socket_board.h"
#include "sim/pager_board.h"
#include "sim/pty_board.h"
#include "sim/two_wire_memory.h"

namespace {

using namespace kxp40s;

struct Options {
    std::string imageFile;
    std::string identity = sim::kDefaultIdentity;
    int firmware = 50;
    std::vector<std::string> sets;
    std::vector<std::string> faults;
    std::string plugPath;
    std::string lptPath;
    std::string saveFile;
    bool pace = false;
    bool trace = false;
};

Image loadImage(const Options& o) {
    if (o.imageFile.empty()) {
        return sim::pagerImage(startedImage(), o.identity, static_cast<std::uint8_t>(o.firmware));
    }
    std::ifstream in(o.imageFile, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    if (!in.eof() && !in) throw CLI::ValidationError("--image", "cannot read " + o.imageFile);
    if (bytes.size() != kImageSize) {
        throw CLI::ValidationError("--image", o.imageFile + " is not 2048 bytes long");
    }
    return Image(bytes);
}

// Applied last and without a new checksum, so that a test can spoil anything.
void applySets(Image& image, const std::vector<std::string>& sets) {
    for (const auto& s : sets) {
        const auto assignment = sim::parseByteAssignment(s);
        if (!assignment) throw CLI::ValidationError("--set", "expected ADDR=BYTE, got " + s);
        image.set(assignment->first, static_cast<std::uint8_t>(assignment->second));
    }
}

std::vector<sim::Fault> parseFaults(const std::vector<std::string>& texts) {
    std::vector<sim::Fault> faults;
    for (const auto& t : texts) {
        const auto fault = sim::parseFault(t);
        if (!fault) throw CLI::ValidationError("--fault", "unknown fault " + t);
        faults.push_back(*fault);
    }
    return faults;
}

void save(const Image& image, const std::string& file) {
    if (const auto failure = writeTableFile(file, image)) throw std::runtime_error(failure->text);
}

using TraceSink = std::function<void(const std::string& line)>;

void servePty(const Options& o, const Image& image, int stopFd, const TraceSink& trace) {
    sim::PagerBoard board(image, parseFaults(o.faults));
    sim::PtyBoard pty(board, o.pace);
    if (!o.plugPath.empty()) pty.plug(o.plugPath);
    std::cout << pty.slavePath() << std::endl;
    pty.run(stopFd, trace);
    if (!o.saveFile.empty()) save(board.memory(), o.saveFile);
}

// The memory's write cycle runs on real time, as the host's bus waits it out.
void serveLpt(const Options& o, const Image& image, int stopFd, const TraceSink& trace) {
    SteadyClock clock;
    TwoWireMemory memory(clock);
    std::copy(image.bytes().begin(), image.bytes().end(), memory.memory.begin());
    sim::LptSocketBoard board(memory, o.lptPath);
    std::cout << board.path() << std::endl;
    board.run(stopFd, trace);
    if (!o.saveFile.empty()) save(Image(memory.memory), o.saveFile);
}

}  // namespace

int main(int argc, char** argv) {
    ignoreFileSizeSignal();
    CLI::App app{
        "kxp40s-sim: a simulated programmer board with a KXP40 pager, on a pty; with --lpt the "
        "parallel-port board, on a Unix socket"};
    Options o;
    app.add_option("--image", o.imageFile, "Pager memory from a 2048-byte table file")
        ->check(CLI::ExistingFile);
    app.add_option("--identity", o.identity, "Identity text at 993-1006 (14 characters)");
    app.add_option("--firmware", o.firmware, "Firmware byte at &H459 (version x 10)")
        ->check(CLI::Range(0, 255));
    app.add_option("--set", o.sets, "ADDR=BYTE, applied last, checksum left as it is");
    auto* fault =
        app.add_option("--fault", o.faults,
                       "KIND@N: bad-checksum, no-ack, wrong-ack, late, noise or unplug at frame N");
    auto* plug =
        app.add_option("--plug", o.plugPath, "Keep a link PATH to the pty while plugged in");
    app.add_option("--save", o.saveFile, "Write the pager memory to FILE on exit");
    auto* pace = app.add_flag("--pace", o.pace, "Hold the line to 9600 baud");
    app.add_flag("--trace", o.trace,
                 "One line per frame on stdout (--lpt: per start, stop and byte on the bus)");
    app.add_option("--lpt", o.lptPath,
                   "Be the parallel-port board on a Unix socket at PATH instead of a pty "
                   "(programs reach it when KXP40S_LPT=PATH)")
        ->type_name("PATH")
        ->excludes(fault)
        ->excludes(plug)
        ->excludes(pace);
    app.set_version_flag("--version", versionLine("kxp40s-sim"));
    try {
        app.parse(argc, argv);
        Image image = loadImage(o);
        applySets(image, o.sets);
        const int stopFd = sim::stopSignalsFd();
        const auto print = [](const std::string& line) { std::cout << line << std::endl; };
        const TraceSink trace = o.trace ? TraceSink(print) : TraceSink();
        if (o.lptPath.empty()) {
            servePty(o, image, stopFd, trace);
        } else {
            serveLpt(o, image, stopFd, trace);
        }
    } catch (const CLI::ParseError& e) {
        return app.exit(e) == 0 ? 0 : 2;
    } catch (const std::exception& e) {
        std::cerr << "kxp40s-sim: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
