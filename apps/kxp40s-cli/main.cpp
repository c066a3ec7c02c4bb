#include <iostream>

#include "app/stop_signals.h"
#include "app/version.h"
#include "cli.h"
#include "files/table_file.h"

int main(int argc, char** argv) {
    using namespace kxp40s::cli;
    CLI::App app{
        "kxp40s-cli: prepare, inspect and program KXP40 pager configurations.\n"
        "Table files (.tbl) hold the pager's 2048-byte configuration memory."};
    app.require_subcommand(1);
    app.set_help_all_flag("--help-all", "Show the help of every command");
    app.set_version_flag("--version", kxp40s::versionLine("kxp40s-cli"));
    Streams io{std::cout, std::cerr};
    registerFileCommands(app, io);
    registerLinkCommands(app, io);
    registerTransferCommands(app, io);
    kxp40s::StopSignals::install();
    kxp40s::ignoreFileSizeSignal();
    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& e) {  // --help, --help-all, --version
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        return kUsage;
    } catch (const Interrupted& e) {
        std::cerr << e.what() << "\n";
        return kxp40s::stoppedExitStatus(e.signal);
    } catch (const Refusal& e) {
        if (*e.what()) std::cerr << e.what() << "\n";
        return kRefused;
    } catch (const std::exception& e) {
        std::cerr << "kxp40s-cli: " << e.what() << "\n";
        return kRefused;
    }
    return kDone;
}
