#pragma once

#include <functional>
#include <optional>
#include <string>

#include "app/application.h"
#include "cli.h"

namespace kxp40s::cli {

// A line typed on stdin; nothing when stdin ended or a stop signal came.
std::optional<std::string> terminalLine();

// The application's face on a terminal. Success messages go to stdout,
// warnings to stderr; Yes/No questions are asked when stdin is a terminal,
// answered Yes by --yes and No otherwise; the transfer window's progress is a
// bar on stderr when that is a terminal. A refused entry is kept, not
// printed: the command ends with it.
class CliFace : public AppFace {
  public:
    CliFace(Streams& io, bool yes);

    Answer show(const Message& message) override;
    void apply(const Effects& effects) override;
    void setProgressMaximum(int maximum) override { maximum_ = maximum; }
    void setProgressValue(int value) override;
    void setStatusText(const std::string& text) override;
    void note(const Message& message) override;
    NextPager waitForPager(int number) override;
    void pagerDone(const SeriesPager& pager) override;

    // Ends the progress bar's line.
    void endBar();
    // The refusal of the last refused entry (empty when what went wrong has
    // been shown already).
    Refusal refusal();
    const std::string& lastWarning() const { return lastWarning_; }

    // A series: when the next pager may be written, and what to do with
    // each one's outcome.
    std::function<NextPager(int number)> nextPager;
    std::function<void(const SeriesPager&)> onPager;

  private:
    Answer ask(const Message& message);
    void drawBar();

    Streams& io_;
    bool yes_;
    bool bar_;
    bool drawn_ = false;
    int maximum_ = 0;
    int value_ = 0;
    std::string status_;
    std::optional<std::string> refused_;
    std::string lastWarning_;
};

// The new table file a command writes: -o, and --force to replace a file
// that is there already.
struct OutputFile {
    std::string path;
    bool force = false;
};
CLI::Option* addOutputOptions(CLI::App* cmd, OutputFile& output, const std::string& help);
// Refusal, before any work is done, when the file would replace one that is
// there without --force, or names a folder.
void checkOutput(const OutputFile& output);

// The board options of every command that talks to the board.
struct BoardOptions {
    std::string board = "usb";
    std::string port;
    bool noPause = false;
    bool trace = false;
    bool yes = false;
};
void addBoardOptions(CLI::App* cmd, BoardOptions& options, bool transfer = true);

// One command's program: the application object on the terminal face.
// Started without a board, or with the board found on --port or by the
// search (released again at the end, as the window does on exit).
class CliApp {
  public:
    explicit CliApp(Streams& io, const BoardOptions& options = {});
    CliApp(const CliApp&) = delete;
    CliApp& operator=(const CliApp&) = delete;
    ~CliApp();

    // Start-up without the board search and without "default.tbl".
    void start();
    // Start-up with the board; Refusal when none answers.
    void startWithBoard();
    // File > Open of `path`; Refusal with the file's message.
    void open(const std::string& path);
    // Saves the image to `path` (File > Save As without the question).
    void saveAs(const std::string& path);
    // Runs a control's handler; Refusal with the editor's message.
    void handle(const std::function<Effects(Session&)>& handler);
    // Runs a transfer command. Refusal when it failed (its message is on
    // stderr already); Interrupted when a stop signal ended it.
    void transfer(const std::function<Result(Application&)>& command);

    Application& app() { return app_; }
    Session& session() { return app_.session(); }
    CliFace& face() { return face_; }

  private:
    Streams& io_;
    CliFace face_;
    Application app_;
    bool boardStarted_ = false;
};

}  // namespace kxp40s::cli
