#include <unistd.h>

#include <chrono>
#include <iostream>
#include <optional>
#include <sstream>
#include <thread>

#include "board_session.h"
#include "cli.h"
#include "cli_session.h"
#include "editors/capcodes.h"
#include "transfer/backups.h"
#include "transfer/pager_commands.h"
#include "transfer/progress.h"

namespace kxp40s::cli {

namespace {

bool isTerminal(int fd) {
    return ::isatty(fd) == 1;
}

// The transfer window on a terminal: success messages on stdout, warnings
// on stderr, Yes/No questions asked when stdin is a terminal (answered Yes by
// --yes, No otherwise), and a progress bar on stderr when it is a terminal.
class TerminalTransferFace : public LinkFace {
  public:
    TerminalTransferFace(Streams& io, bool yes) : io_(io), yes_(yes), bar_(isTerminal(2)) {}

    Answer show(const Message& message) override {
        endBar();
        if (message.buttons == Buttons::YesNo) return ask(message);
        if (isSuccess(message)) {
            io_.out << message.text << "\n";
        } else {
            io_.err << message.text << "\n";
            lastWarning = message.text;
        }
        return Answer::Ok;
    }
    void setProgressMaximum(int maximum) override { maximum_ = maximum; }
    void setProgressValue(int value) override {
        value_ = value;
        drawBar();
    }
    void setStatusText(const std::string& text) override {
        status_ = text;
        if (text.empty()) endBar();
    }
    void endBar() {
        if (drawn_) io_.err << "\n";
        drawn_ = false;
    }

    std::string lastWarning;

  private:
    static bool isSuccess(const Message& message) {
        return message.icon == Icon::Information || message.text == "Read success!" ||
               message.text == "Verify Success!";
    }

    Answer ask(const Message& message) {
        std::string question = message.text;
        for (auto at = question.find("\r\n"); at != std::string::npos; at = question.find("\r\n")) {
            question.replace(at, 2, " ");
        }
        io_.err << question;
        if (yes_) {
            io_.err << " Yes (--yes)\n";
            return Answer::Yes;
        }
        if (!isTerminal(0)) {
            io_.err << " No (give --yes to answer Yes)\n";
            return Answer::No;
        }
        io_.err << " [y/N] " << std::flush;
        std::string answer;
        std::getline(std::cin, answer);
        return !answer.empty() && (answer[0] == 'y' || answer[0] == 'Y') ? Answer::Yes : Answer::No;
    }

    void drawBar() {
        if (!bar_ || maximum_ <= 0) return;
        constexpr int kWidth = 40;
        const int filled = kWidth * value_ / maximum_;
        io_.err << "\r" << status_ << " [" << std::string(static_cast<std::size_t>(filled), '#')
                << std::string(static_cast<std::size_t>(kWidth - filled), '.') << "] "
                << 100 * value_ / maximum_ << "%" << std::flush;
        drawn_ = true;
    }

    Streams& io_;
    bool yes_;
    bool bar_;
    bool drawn_ = false;
    int maximum_ = 0;
    int value_ = 0;
    std::string status_;
};

struct LinkOptions {
    std::string port;
    bool noPause = false;
    bool trace = false;
    bool yes = false;
};

void addLinkOptions(CLI::App* cmd, LinkOptions& options) {
    cmd->add_option("--port", options.port,
                    "The board's serial port (a device path); searched when not given");
    cmd->add_flag("--no-pause", options.noPause,
                  "Fast read: do not wait the fixed 300 ms before looking for each block's reply");
    addTraceFlag(cmd, options.trace);
}

// A command's board and transfer: found on --port or by the search over the
// listed ports (then released again at the end, as the program does on exit).
class BoardTransfer {
  public:
    BoardTransfer(Streams& io, Session& s, const LinkOptions& options)
        : face_(io, options.yes),
          clamped_(face_),
          board_(io, options.trace, clamped_),
          backups_(BackupStore::defaultFolder()),
          transfer_(Transfer{s, clamped_, &board_.link(), nullptr, &backups_}),
          searched_(options.port.empty()) {
        board_.state.pauseBeforeReplies = !options.noPause;
        if (!searched_) {
            board_.state.BoardPort = options.port;
            return;
        }
        board_.state.ConnectInteractive = true;
        if (!BoardConnect(board_.link())) throw Refusal("");
        board_.state.ConnectInteractive = false;
    }
    BoardTransfer(const BoardTransfer&) = delete;
    BoardTransfer& operator=(const BoardTransfer&) = delete;
    ~BoardTransfer() {
        face_.endBar();
        if (searched_ && !board_.state.BoardPort.empty()) BoardCommand(board_.link(), 1, true);
    }

    Transfer& transfer() { return transfer_; }
    TerminalTransferFace& face() { return face_; }

    // Exit status 1 when the transfer failed; its message is on stderr already.
    void finish() {
        face_.endBar();
        if (transfer_.s.TransferFailed) throw Refusal("");
    }

  private:
    TerminalTransferFace face_;
    ClampedProgressFace clamped_;
    BoardSession board_;
    BackupStore backups_;
    Transfer transfer_;
    bool searched_;
};

std::string capcodesOf(const Session& s) {
    return "capcode 1 = " + std::to_string(capcodeOf(s.ConfigImage, 0)) +
           ", capcode 2 = " + std::to_string(capcodeOf(s.ConfigImage, 1));
}

void registerRead(CLI::App& app, Streams& io) {
    auto* cmd = app.add_subcommand("read", "Read a pager into a table file (Pager > Read)");
    cmd->footer(
        "Checks the pager's identity and checksum, reads its 2048 bytes and writes them as a\n"
        "table file. A failed read writes no file. Every read is also kept in the backup\n"
        "folder ($XDG_DATA_HOME/kxp40s/backups, the newest 200).");
    struct Options : LinkOptions {
        std::string output;
    };
    auto options = std::make_shared<Options>();
    cmd->add_option("-o,--output", options->output, "The table file to write")->required();
    addLinkOptions(cmd, *options);
    cmd->callback([options, &io] {
        Session s = startedSession(io);
        {
            BoardTransfer board(io, s, *options);
            mnuEntire_Click(board.transfer());
            board.finish();
        }
        saveTable(options->output, s.ConfigImage);
        io.out << "Wrote " << options->output << "\n";
    });
}

void registerVerify(CLI::App& app, Streams& io) {
    auto* cmd = app.add_subcommand("verify", "Compare a pager with a table file (Pager > Verfy)");
    cmd->footer(
        "Compares the pager's 2048 bytes with the table file's, as Verfy does after a write.\n"
        "A file verifies when it holds what was written: keep it with write --save-progress\n"
        "(the write marks the image as programmed, adds its checksum and takes the pager's\n"
        "firmware byte), or read the pager. Exit status 0 on \"Verify Success!\", 1 otherwise;\n"
        "a failed verify keeps the pager's memory in the backup folder. FILE is not changed.");
    struct Options : LinkOptions {
        std::string file;
    };
    auto options = std::make_shared<Options>();
    cmd->add_option("FILE", options->file, "The table file")->required();
    addLinkOptions(cmd, *options);
    cmd->callback([options, &io] {
        Session s = openedSession(options->file, io);
        BoardTransfer board(io, s, *options);
        mnuEB1_Click(board.transfer());
        board.finish();
    });
}

// Waits for the next pager: Enter on a terminal, else --next-after seconds,
// else a line of stdin. False when stdin ends.
bool waitForNextPager(Streams& io, std::optional<double> nextAfter) {
    if (!isTerminal(0) && nextAfter) {
        std::this_thread::sleep_for(std::chrono::duration<double>(*nextAfter));
        return true;
    }
    io.err << "Put the next pager on the board and press Enter." << std::endl;
    std::string line;
    return static_cast<bool>(std::getline(std::cin, line));
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
        "(or --next-after SECONDS when stdin is not a terminal). One line per pager.");
    struct Options : LinkOptions {
        std::string file;
        int series = 0;
        std::string increase;
        std::optional<double> nextAfter;
        bool saveProgress = false;
    };
    auto options = std::make_shared<Options>();
    cmd->add_option("FILE", options->file, "The table file")->required();
    addLinkOptions(cmd, *options);
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
                  "Write the image as written (and the counted capcodes) back into FILE");
    cmd->callback([options, &io] {
        Session s = openedSession(options->file, io);
        s.AutoIncCap1 = options->increase.find('1') != std::string::npos;
        s.AutoIncCap2 = options->increase.find('2') != std::string::npos;
        int failed = 0;
        int written = 0;
        {
            BoardTransfer board(io, s, *options);
            mnuEB_Click(board.transfer(), [&](Transfer& t) {
                for (int pager = 1; pager <= options->series; ++pager) {
                    if (pager > 1 && !waitForNextPager(io, options->nextAfter)) break;
                    const std::string capcodes = capcodesOf(t.s);
                    cmdWrite_Click(t);
                    board.face().endBar();
                    io.out << "Pager " << pager << ": " << capcodes << ": "
                           << (t.s.TransferFailed ? "failed (" + board.face().lastWarning + ")"
                                                  : "written and verified")
                           << std::endl;
                    ++(t.s.TransferFailed ? failed : written);
                }
            });
            if (options->series == 0 && !s.TransferFailed) ++written;
            if (failed > 0) s.TransferFailed = true;
            // Only what reached a pager goes back into the file.
            if (options->saveProgress && written > 0) saveTable(options->file, s.ConfigImage);
            board.finish();
        }
    });
}

}  // namespace

void registerTransferCommands(CLI::App& app, Streams& io) {
    registerRead(app, io);
    registerWrite(app, io);
    registerVerify(app, io);
}

}  // namespace kxp40s::cli
