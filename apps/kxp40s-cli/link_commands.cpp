#include <algorithm>
#include <memory>
#include <ostream>

#include "cli.h"
#include "cli_app.h"
#include "json_output.h"

namespace kxp40s::cli {

namespace {

void registerPorts(CLI::App& app, Streams& io) {
    auto* cmd =
        app.add_subcommand("ports", "List the places the board search looks and find the board");
    cmd->footer(
        "Prints one line per place the search looks at: its path, a tab, and 'board' when\n"
        "the programmer board answers there, 'busy' when another program holds the port\n"
        "(the search passes over it), 'denied' when this user may not open it (a USB board\n"
        "needs the group dialout, a parallel-port board the group lp), '-' otherwise.\n"
        "For the USB board these are the listed serial ports (extra ports, for example the\n"
        "link of kxp40s-sim --plug, are listed through KXP40S_PORTS=PATH:PATH), and the\n"
        "board is only asked who it is; for the parallel-port board (--board lpt) the three\n"
        "parallel ports, each probed.\n"
        "Nothing is started, read or written. Exit status 0 when the board answers at one of\n"
        "them, 1 when it answers nowhere. --json prints a JSON object instead.");
    auto options = std::make_shared<BoardOptions>();
    addBoardOptions(cmd, *options, false);
    cmd->add_flag("--json", options->json, "Print a JSON object instead");
    cmd->callback([options, &io] {
        CliApp cli(io, *options);
        const auto answers = cli.app().board().probe();
        if (options->json) {
            io.out << portsJson(answers).dump(2) << "\n";
        } else {
            for (const auto& answer : answers)
                io.out << answer.port << "\t" << portState(answer) << "\n";
        }
        if (std::none_of(answers.begin(), answers.end(),
                         [](const PortAnswer& answer) { return answer.board; }))
            throw Refusal("");
    });
}

void registerFirmware(CLI::App& app, Streams& io) {
    auto* cmd =
        app.add_subcommand("firmware", "Read the pager's firmware version (Check Firmware)");
    cmd->footer(
        "Prints \"Version = 5.0\" for a pager whose firmware byte is 50. The board is searched\n"
        "for (or taken on --port), started and released again. Exit status 1 with the link's\n"
        "message when the board does not answer.");
    auto options = std::make_shared<BoardOptions>();
    addBoardOptions(cmd, *options);
    cmd->callback([options, &io] {
        CliApp cli(io, *options);
        cli.startWithBoard();
        cli.transfer([](Application& program) { return program.mnuFirmware_Click(); });
    });
}

}  // namespace

void registerLinkCommands(CLI::App& app, Streams& io) {
    registerPorts(app, io);
    registerFirmware(app, io);
}

}  // namespace kxp40s::cli
