#include <iostream>

#include "app/application.h"
#include "app/program_arguments.h"
#include "app/stop_signals.h"
#include "app/version.h"
#include "cli.h"
#include "files/table_file.h"

int main(int argc, char** argv) {
    using namespace kxp40s::cli;
    kxp40s::ProgramArguments arguments(argc, argv);
    CLI::App app{
        "kxp40s-cli: prepare, inspect and program KXP40 pager configurations.\n"
        "Table files (.tbl) hold the pager's 2048-byte configuration memory."};
    // Paths such as /tmp/x.tbl are arguments on every system, never options;
    // the commands take this over when they are made.
    app.allow_windows_style_options(false);
    app.require_subcommand(1);
    app.set_help_all_flag("--help-all", "Show the help of every command");
    app.set_version_flag("--version", kxp40s::versionLine("kxp40s-cli"));
    Streams io{std::cout, std::cerr};
    registerFileCommands(app, io);
    registerLinkCommands(app, io);
    registerTransferCommands(app, io);
    registerBackupCommands(app, io);
    kxp40s::StopSignals::install();
    kxp40s::ignoreFileSizeSignal();
    try {
        app.parse(arguments.argc(), arguments.argv());
    } catch (const CLI::Success& e) {  // --help, --help-all, --version
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        return kUsage;
    } catch (const Interrupted& e) {
        std::cerr << e.what() << "\n";
        return kxp40s::stoppedExitStatus(e.signal);
    } catch (const Finished& finished) {
        return finished.status;
    } catch (const Refusal& e) {
        if (*e.what()) std::cerr << e.what() << "\n";
        return e.status;
    } catch (const std::exception& e) {
        // The board was released on the way here, as the command's program ended.
        std::cerr << kxp40s::unexpectedFailure(e).text << "\n";
        return kRefused;
    }
    return kDone;
}
