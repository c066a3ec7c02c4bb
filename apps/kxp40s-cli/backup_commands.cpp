#include <iomanip>
#include <memory>
#include <ostream>

#include "cli.h"
#include "cli_app.h"
#include "files/system.h"
#include "files/table_file.h"
#include "json_output.h"
#include "transfer/backups.h"

namespace kxp40s::cli {

namespace {

std::string capcodeText(const BackupEntry& entry) {
    return entry.capcode1 ? std::to_string(*entry.capcode1) : "?";
}

void printBackups(Streams& io, const BackupStore& store) {
    const auto entries = store.list();
    if (entries.empty()) {
        io.out << "No backups in " << utf8Text(store.folder()) << "\n";
        return;
    }
    io.out << std::left << std::setw(4) << "N" << std::setw(21) << "TIME" << std::setw(15) << "KIND"
           << std::setw(11) << "CAPCODE 1"
           << "FILE\n";
    int number = 1;
    for (const BackupEntry& entry : entries) {
        io.out << std::setw(4) << number++ << std::setw(21) << entry.time << std::setw(15)
               << entry.kind << std::setw(11) << capcodeText(entry) << utf8Text(entry.file) << "\n";
    }
}

void registerList(CLI::App* backups, Streams& io) {
    auto* cmd = backups->add_subcommand("list", "List the backups, newest first");
    cmd->footer(
        "One line per backup: its number N (1 is the newest, as 'backups restore N' takes\n"
        "it), the time it was taken, its kind (read, before-write, verify-failed), the\n"
        "pager's capcode 1 as the file holds it ('?' when the file cannot be read) and the\n"
        "file.");
    auto json = std::make_shared<bool>(false);
    cmd->add_flag("--json", *json, "Print a JSON object instead");
    cmd->callback([json, &io] {
        const BackupStore store(BackupStore::defaultFolder());
        if (*json) {
            io.out << backupsJson(store.folder(), store.list()).dump(2) << "\n";
        } else {
            printBackups(io, store);
        }
    });
}

void registerRestore(CLI::App* backups, Streams& io) {
    auto* cmd = backups->add_subcommand("restore", "Write backup N out as a table file");
    cmd->footer(
        "N is the number 'backups list' shows (1 is the newest). The backup itself stays.\n"
        "Example: kxp40s-cli backups restore 1 -o pager-before.tbl, then kxp40s-cli write\n"
        "pager-before.tbl puts it back on the pager.");
    struct Options {
        std::size_t number = 0;
        OutputFile output;
    };
    auto options = std::make_shared<Options>();
    cmd->add_option("N", options->number, "The backup's number in the list")
        ->required()
        ->check(CLI::PositiveNumber);
    addOutputOptions(cmd, options->output, "The table file to write")->required();
    cmd->callback([options, &io] {
        checkOutput(options->output);
        const BackupStore store(BackupStore::defaultFolder());
        const auto entries = store.list();
        if (options->number > entries.size())
            throw Refusal("There is no backup " + std::to_string(options->number) + ": " +
                          utf8Text(store.folder()) + " holds " + std::to_string(entries.size()) +
                          ".");
        const auto& backup = entries[options->number - 1].file;
        const TableRead read = readTableFile(backup);
        if (!read.image) throw Refusal(read.message->text + " (" + utf8Text(backup) + ")");
        if (const auto failure = writeTableFile(pathFromUtf8(options->output.path), *read.image))
            throw Refusal(*failure);
        io.out << "Wrote " << options->output.path << " from " << utf8Text(backup) << "\n";
    });
}

}  // namespace

void registerBackupCommands(CLI::App& app, Streams& io) {
    auto* backups = app.add_subcommand("backups", "Find and restore the backups of pager memory");
    backups->footer(
        "Every read, every verify error and (with --backup-before-write) every pager about to\n"
        "be overwritten is kept as a table file in " +
        utf8Text(BackupStore::defaultFolder()) +
        ",\nthe newest 200, named KIND-YYYYMMDD-HHMMSS-CAPCODE1.tbl.");
    backups->require_subcommand(1);
    registerList(backups, io);
    registerRestore(backups, io);
}

}  // namespace kxp40s::cli
