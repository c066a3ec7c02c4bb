#include <ostream>

#include "cli.h"
#include "diff.h"
#include "files/table_file.h"
#include "image/default_tables.h"
#include "report.h"

namespace kxp40s::cli {

namespace {

Image loadTable(const std::string& path) {
    TableRead read = readTableFile(path);
    if (!read.image) throw Refusal(*read.message);
    return *read.image;
}

void saveTable(const std::string& path, const Image& image) {
    if (const auto failure = writeTableFile(path, image)) throw Refusal(*failure);
}

void registerNew(CLI::App& app, Streams& io) {
    auto* cmd = app.add_subcommand("new", "Create a table file");
    cmd->footer(
        "With --defaults the file holds the image exactly as the built-in default tables make it.\n"
        "Example: kxp40s-cli new --defaults -o x.tbl");
    struct Options {
        bool defaults = false;
        std::string output;
    };
    auto options = std::make_shared<Options>();
    cmd->add_flag("--defaults", options->defaults, "The built-in default tables, unchanged");
    cmd->add_option("-o,--output", options->output, "The table file to write")->required();
    cmd->callback([options, &io] {
        if (!options->defaults) throw CLI::ValidationError("new", "give --defaults");
        saveTable(options->output, defaultImage());
        io.out << "Wrote " << options->output << "\n";
    });
}

void registerShow(CLI::App& app, Streams& io) {
    auto* cmd = app.add_subcommand("show", "Show every setting of a table file as the window shows it");
    cmd->footer(
        "Prints one 'key = value' line per setting, each after a comment with its caption,\n"
        "control and place in the image: check boxes 1 (checked) or 0, lists by item text,\n"
        "prompt texts in quotes as their boxes show them. The file is not changed.");
    struct Options {
        std::string file;
        bool json = false;
    };
    auto options = std::make_shared<Options>();
    cmd->add_option("FILE", options->file, "The table file")->required();
    cmd->add_flag("--json", options->json, "Print a JSON object instead");
    cmd->callback([options, &io] {
        const Image image = loadTable(options->file);
        if (options->json) {
            io.out << settingsJson(image).dump(2) << "\n";
        } else {
            io.out << formatSettings(image);
        }
    });
}

void registerDiff(CLI::App& app, Streams& io) {
    auto* cmd = app.add_subcommand("diff", "Compare two table files");
    cmd->footer(
        "Lists the settings that differ by caption and key, then every other byte that\n"
        "differs, in hexadecimal runs by address. Exit status 0 whether or not they differ.");
    struct Options {
        std::string a, b;
        bool json = false;
    };
    auto options = std::make_shared<Options>();
    cmd->add_option("A", options->a, "The first table file")->required();
    cmd->add_option("B", options->b, "The second table file")->required();
    cmd->add_flag("--json", options->json, "Print a JSON object instead");
    cmd->callback([options, &io] {
        const ImageDiff diff = diffImages(loadTable(options->a), loadTable(options->b));
        if (options->json) {
            io.out << diffJson(diff).dump(2) << "\n";
        } else {
            io.out << formatDiff(diff);
        }
    });
}

}  // namespace

void registerFileCommands(CLI::App& app, Streams& io) {
    registerNew(app, io);
    registerShow(app, io);
    registerDiff(app, io);
}

}  // namespace kxp40s::cli
