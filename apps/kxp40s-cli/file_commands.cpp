#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <ostream>

#include "app/startup.h"
#include "cli.h"
#include "cli_app.h"
#include "editors/image_diff.h"
#include "editors/settings.h"
#include "editors/settings_text.h"
#include "files/table_file.h"
#include "image/default_tables.h"
#include "json_output.h"

namespace kxp40s::cli {

namespace {

void apply(CliApp& cli, const Assignment& assignment) {
    cli.handle([&](Session& s) {
        return applySetting(s, assignment.key, assignment.value, assignment.origin);
    });
}

// The program started and the table file opened, as File > Open leaves it.
void openFile(CliApp& cli, const std::string& path) {
    cli.start();
    cli.open(path);
}

// The assignments read, or a refusal with the message naming what cannot be read.
std::vector<Assignment> assignmentsOf(AssignmentsRead read) {
    if (read.error) throw Refusal(*read.error);
    return std::move(read.assignments);
}

// A table file `diff` compares; one that cannot be read is trouble (exit status 2).
Image tableToCompare(const std::string& path) {
    TableRead read = readTableFile(path);
    if (!read.image) throw Refusal(read.message->text, kTrouble);
    return *read.image;
}

void registerNew(CLI::App& app, Streams& io) {
    auto* cmd = app.add_subcommand("new", "Create a table file");
    cmd->footer(
        "Without --defaults the file holds the image the program holds right after start-up\n"
        "without \"default.tbl\": the built-in tables with the logo text, the channel step\n"
        "\"5KHz\" and the band 130-180MHz at 1530000; --band N then chooses range N as the\n"
        "window's range list would (0 929-932MHz, 1 400-499MHz, 2 130-180MHz, 3 "
        "130-180MHz-GP(RoHS)).\n"
        "With --defaults the file holds the built-in default tables exactly.\n"
        "An existing file is not replaced without --force.\n"
        "Example: kxp40s-cli new -o x.tbl --band 1");
    struct Options {
        bool defaults = false;
        OutputFile output;
        std::optional<int> band;
    };
    auto options = std::make_shared<Options>();
    auto* defaults =
        cmd->add_flag("--defaults", options->defaults, "The built-in default tables, unchanged");
    addOutputOptions(cmd, options->output, "The table file to write")->required();
    cmd->add_option("--band", options->band, "Choose this frequency range (0-3)")
        ->check(CLI::Range(0, 3))
        ->excludes(defaults);
    cmd->callback([options, &io] {
        checkOutput(options->output);
        CliApp cli(io);
        cli.start();
        if (options->defaults) {
            cli.handle([](Session& s) { return useBuiltInTables(s); });
        } else if (options->band) {
            apply(cli, {"band", std::to_string(*options->band), "--band"});
        }
        cli.saveAs(options->output.path);
        io.out << "Wrote " << options->output.path << "\n";
    });
}

void registerShow(CLI::App& app, Streams& io) {
    auto* cmd =
        app.add_subcommand("show", "Show every setting of a table file as the window shows it");
    cmd->footer(
        "Prints one 'key = value' line per setting, after a comment with its caption:\n"
        "check boxes 1 (checked) or 0, lists by item text, texts in quotes as their boxes\n"
        "show them. Read-outs (PLL words, summaries) are comments. The output is what\n"
        "'kxp40s-cli set --from' takes: show A.tbl | kxp40s-cli set B.tbl --from -\n"
        "The file is not changed.");
    struct Options {
        std::string file;
        bool json = false;
    };
    auto options = std::make_shared<Options>();
    cmd->add_option("FILE", options->file, "The table file")->required();
    cmd->add_flag("--json", options->json, "Print a JSON object instead");
    cmd->callback([options, &io] {
        CliApp cli(io);
        openFile(cli, options->file);
        const Session& s = cli.session();
        if (options->json) {
            io.out << settingsJson(s).dump(2) << "\n";
        } else {
            io.out << formatSettings(s);
        }
    });
}

void registerSet(CLI::App& app, Streams& io) {
    auto* cmd =
        app.add_subcommand("set", "Change settings of a table file as a user would in the window");
    cmd->footer(
        "Applies each KEY=VALUE in order (after those of --from) through the window's own\n"
        "editors. At the first refusal it prints the editor's message and writes nothing.\n"
        "Without -o it changes FILE; -o does not replace an existing file without --force.\n"
        "Example: kxp40s-cli set x.tbl band=1 frequency=4540125 capcode1=1234567\n\n" +
        settingKeysHelp());
    struct Options {
        std::string file;
        std::vector<std::string> assignments;
        OutputFile output;
        std::string from;
    };
    auto options = std::make_shared<Options>();
    cmd->add_option("FILE", options->file, "The table file")->required();
    cmd->add_option("ASSIGNMENTS", options->assignments, "KEY=VALUE, applied in order");
    addOutputOptions(cmd, options->output, "Write the result here instead of FILE");
    cmd->add_option("--from", options->from,
                    "Apply the KEY = VALUE lines of this file first (- for stdin)");
    cmd->callback([options, cmd, &io] {
        const bool fromGiven = cmd->count("--from") > 0;
        if (fromGiven && options->from.empty())
            throw CLI::ValidationError("--from", "needs a file, or - for stdin");
        if (!options->output.path.empty()) checkOutput(options->output);
        CliApp cli(io);
        openFile(cli, options->file);
        std::vector<Assignment> assignments;
        if (fromGiven) {
            std::ifstream file;
            if (options->from != "-") {
                if (std::filesystem::is_directory(options->from))
                    throw Refusal("Can not open [" + options->from + "]: Is a directory");
                file.open(options->from);
                if (!file) throw Refusal("Can not open [" + options->from + "]");
            }
            assignments = assignmentsOf(
                parseSettingsText(options->from == "-" ? std::cin : file, options->from));
            if (assignments.empty() && options->assignments.empty())
                throw Refusal("Nothing to set: " + options->from + " holds no KEY = VALUE line");
        }
        for (auto& assignment : assignmentsOf(parseArguments(options->assignments)))
            assignments.push_back(std::move(assignment));
        if (assignments.empty()) throw CLI::ValidationError("set", "give KEY=VALUE or --from");
        for (const auto& assignment : assignments)
            apply(cli, assignment);
        const std::string target =
            options->output.path.empty() ? options->file : options->output.path;
        cli.saveAs(target);
        io.out << "Wrote " << target << "\n";
    });
}

void registerDiff(CLI::App& app, Streams& io) {
    auto* cmd = app.add_subcommand("diff", "Compare two table files setting by setting");
    cmd->footer(
        "Lists every setting that 'show' prints differently for A and B (read-outs\n"
        "included) by key and caption, with the value in A and in B; then, in hexadecimal\n"
        "runs by address, the bytes that differ where no listed setting tells of it (a\n"
        "differing bit is told when changing it alone, in A or in B, changes a listed value).\n"
        "Exit status as diff(1): 0 the files are the same, 1 they differ, 2 trouble (a file\n"
        "that cannot be read).");
    struct Options {
        std::string a, b;
        bool json = false;
    };
    auto options = std::make_shared<Options>();
    cmd->add_option("A", options->a, "The first table file")->required();
    cmd->add_option("B", options->b, "The second table file")->required();
    cmd->add_flag("--json", options->json, "Print a JSON object instead");
    cmd->callback([options, &io] {
        const Image a = tableToCompare(options->a);
        const Image b = tableToCompare(options->b);
        const ImageDiff diff = diffImages(startedSession(), a, b);
        if (options->json) {
            io.out << diffJson(diff).dump(2) << "\n";
        } else {
            io.out << formatDiff(diff);
        }
        if (!diff.empty()) throw Finished{kDifferent};
    });
}

}  // namespace

void registerFileCommands(CLI::App& app, Streams& io) {
    registerNew(app, io);
    registerShow(app, io);
    registerSet(app, io);
    registerDiff(app, io);
}

}  // namespace kxp40s::cli
