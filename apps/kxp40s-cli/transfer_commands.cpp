#include <unistd.h>

#include <chrono>
#include <iostream>
#include <optional>
#include <sstream>
#include <thread>

#include "app/stop_signals.h"
#include "cli.h"
#include "cli_app.h"
#include "editors/capcodes.h"
#include "transfer/verify_explanation.h"

namespace kxp40s::cli {

namespace {

bool isTerminal(int fd) {
    return ::isatty(fd) == 1;
}

void explainVerifyError(Streams& io, const Session& s, const std::string& file) {
    if (s.PagerAtVerifyError)
        io.err << verifyExplanation(s, s.ConfigImage, *s.PagerAtVerifyError, file);
}

void registerRead(CLI::App& app, Streams& io) {
    auto* cmd = app.add_subcommand("read", "Read a pager into a table file (Pager > Read)");
    cmd->footer(
        "Checks the pager's identity and checksum, reads its 2048 bytes and writes them as a\n"
        "table file (an existing one only with --force). A failed read writes no file.\n"
        "Every read is also kept in the backup\n"
        "folder ($XDG_DATA_HOME/kxp40s/backups, the newest 200).");
    struct Options : BoardOptions {
        OutputFile output;
    };
    auto options = std::make_shared<Options>();
    addOutputOptions(cmd, options->output, "The table file to write")->required();
    addBoardOptions(cmd, *options);
    cmd->callback([options, &io] {
        checkOutput(options->output);
        CliApp cli(io, *options);
        cli.startWithBoard();
        cli.transfer([](Application& program) { return program.mnuEntire_Click(); });
        cli.saveAs(options->output.path);
        io.out << "Wrote " << options->output.path << "\n";
    });
}

void registerVerify(CLI::App& app, Streams& io) {
    auto* cmd = app.add_subcommand("verify",
                                   "Check that a pager holds what writing a table file put on it");
    cmd->footer(
        "Prepares FILE's image as write does (the pager's own contrast and firmware byte, the\n"
        "synthesizer words for that firmware, the programmed mark and the checksum) and\n"
        "compares it with the pager's 2048 bytes: after 'write FILE', 'verify FILE' passes.\n"
        "Give --contrast when the write was given it. Exit status 0 on \"Verify Success!\", 1\n"
        "otherwise: \"Verify Error!\" is followed by the settings and bytes that differ, and\n"
        "the pager's memory is kept in the backup folder. FILE is not changed.");
    struct Options : BoardOptions {
        std::string file;
        bool contrast = false;
    };
    auto options = std::make_shared<Options>();
    cmd->add_option("FILE", options->file, "The table file")->required();
    addBoardOptions(cmd, *options);
    cmd->add_flag("--contrast", options->contrast,
                  "Compare the file's display contrast; without it the pager's own counts");
    cmd->callback([options, &io] {
        CliApp cli(io, *options);
        cli.startWithBoard();
        cli.open(options->file);
        if (options->contrast) cli.session().ContrastChanged = true;
        try {
            cli.transfer([](Application& program) { return program.verifyAsWritten(); });
        } catch (const Refusal&) {
            explainVerifyError(io, cli.session(), options->file);
            throw;
        }
    });
}

// Waits for the next pager: Enter on a terminal, else --next-after seconds,
// else a line of stdin. Leave when stdin ends or a stop was asked for.
NextPager waitForNextPager(Streams& io, std::optional<double> nextAfter, const Application& app) {
    if (!isTerminal(0) && nextAfter) {
        // In short steps, so that Ctrl-C is not kept waiting.
        const auto end =
            std::chrono::steady_clock::now() + std::chrono::duration<double>(*nextAfter);
        while (std::chrono::steady_clock::now() < end && !app.stopRequested())
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        return NextPager::Write;
    }
    io.err << "Put the next pager on the board and press Enter." << std::endl;
    return terminalLine() ? NextPager::Write : NextPager::Leave;
}

void registerWrite(CLI::App& app, Streams& io) {
    auto* cmd =
        app.add_subcommand("write", "Write a table file to a pager, then verify (Pager > Write)");
    cmd->footer(
        "Before overwriting an empty or foreign pager, or one of the other band variant, the\n"
        "question is asked on the terminal; --yes answers Yes, and without a terminal the\n"
        "answer is No. The texts are converted to the pager's letters on a copy: FILE is not\n"
        "changed unless --save-progress is given.\n"
        "Series: --series N --increase 1|2|1,2 writes N pagers in a row, counting capcode 1,\n"
        "2 or both up after each verified write; before each next pager it waits for Enter\n"
        "(or --next-after SECONDS when stdin is not a terminal). One line per pager.\n"
        "Ctrl-C stops after the frame under way: the board is released, the pager's state\n"
        "is said, and with --save-progress FILE holds the capcodes of the next pager.");
    struct Options : BoardOptions {
        std::string file;
        int series = 0;
        std::string increase;
        std::optional<double> nextAfter;
        bool saveProgress = false;
        bool contrast = false;
        bool backupBeforeWrite = false;
    };
    auto options = std::make_shared<Options>();
    cmd->add_option("FILE", options->file, "The table file")->required();
    addBoardOptions(cmd, *options);
    cmd->add_flag("--yes", options->yes, "Answer Yes to the questions before overwriting");
    auto* series = cmd->add_option("--series", options->series, "Write this many pagers in a row")
                       ->check(CLI::PositiveNumber);
    cmd->add_option("--increase", options->increase,
                    "Count capcode 1, 2 or 1,2 up after each pager")
        ->check(CLI::IsMember({"1", "2", "1,2", "2,1"}))
        ->needs(series);
    series->needs("--increase");
    cmd->add_option("--next-after", options->nextAfter,
                    "Seconds to wait between pagers when stdin is not a terminal")
        ->check(CLI::NonNegativeNumber)
        ->needs(series);
    cmd->add_flag("--save-progress", options->saveProgress,
                  "Write the image as written (and the counted capcodes) back into FILE, after "
                  "every verified pager");
    cmd->add_flag("--contrast", options->contrast,
                  "Send the file's display contrast; without it the pager keeps its own");
    cmd->add_flag("--backup-before-write", options->backupBeforeWrite,
                  "Read each pager's memory into the backup folder before overwriting it");
    cmd->callback([options, &io] {
        CliApp cli(io, *options);
        cli.startWithBoard();
        cli.open(options->file);
        cli.app().setBackupBeforeWrite(options->backupBeforeWrite);
        if (options->contrast) cli.session().ContrastChanged = true;
        if (options->increase.find('1') != std::string::npos)
            cli.handle([](Session& s) { return optAuto1_Click(s, 1); });
        if (options->increase.find('2') != std::string::npos)
            cli.handle([](Session& s) { return optAuto2_Click(s, 1); });
        // The file is saved after every verified pager, so that it is never
        // behind the pagers written, even when the series is stopped.
        cli.face().nextPager = [&](int number) {
            if (number > options->series) return NextPager::Leave;
            if (number == 1) return NextPager::Write;
            return waitForNextPager(io, options->nextAfter, cli.app());
        };
        cli.face().onPager = [&](const SeriesPager& pager) {
            if (pager.result == Result::Stopped) return;
            const bool verified = pager.result == Result::Done;
            io.out << "Pager " << pager.number << ": capcode 1 = " << pager.capcode1
                   << ", capcode 2 = " << pager.capcode2 << ": "
                   << (verified ? "written and verified"
                                : "failed (" + cli.face().lastWarning() + ")")
                   << std::endl;
            if (verified && options->saveProgress) cli.saveAs(options->file);
        };
        cli.transfer([&](Application& program) {
            const Result result = program.mnuEB_Click();
            if (result == Result::Done && options->series == 0 && options->saveProgress)
                cli.saveAs(options->file);
            return result;
        });
    });
}

}  // namespace

void registerTransferCommands(CLI::App& app, Streams& io) {
    registerRead(app, io);
    registerWrite(app, io);
    registerVerify(app, io);
}

}  // namespace kxp40s::cli
