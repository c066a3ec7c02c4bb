#pragma once

#include <exception>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/app_face.h"
#include "app/board.h"
#include "app/recent_files.h"
#include "editors/session.h"
#include "files/table_file.h"
#include "link/stop_flag.h"
#include "transfer/backups.h"
#include "transfer/progress.h"

namespace kxp40s {

struct AppOptions {
    BoardKind board = BoardKind::Usb;
    // Where "default.tbl" lives and the file dialogs start; empty: the
    // program's folder when it is writable, else $XDG_DATA_HOME/kxp40s.
    std::filesystem::path programDirectory;
    // Where every pager read is kept; empty: BackupStore::defaultFolder().
    std::filesystem::path backupFolder;
    bool keepBackups = true;
    BoardParts parts;  // tests hand in simulated devices and clocks
};

// What start-up does beyond building the image: the window does all of it;
// the command line searches for the board only when it needs one and never
// opens "default.tbl".
struct StartUpSteps {
    bool searchBoard = true;
    bool openDefaultTable = true;
};

// The faces' view of the transfer sequences: questions are answered No and
// messages noted instead of shown once a stop was asked for, and the
// progress value never passes the maximum.
class CommandFace : public ClampedProgressFace {
  public:
    CommandFace(AppFace& face, const StopFlag& stop)
        : ClampedProgressFace(face), face_(face), stop_(stop) {}
    Answer show(const Message& message) override;

  private:
    AppFace& face_;
    const StopFlag& stop_;
};

// The running program: the module state (the session with its image and
// controls, the table-file state), the programmer board, the backup store,
// and the face. Its operations are the window's entry points; each shows
// what comes of it through the face and returns how it went.
class Application {
  public:
    Application(AppFace& face, AppOptions options = {});
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;
    ~Application();

    // Form_Load: the start-up sequence. The controls are filled before the
    // board search; the search's message comes before what "default.tbl"
    // has to say.
    void Form_Load(StartUpSteps steps = {});

    // File > Open with its dialog; openTableFile is the same after the
    // dialog, for a file named on the command line or dropped on the window
    // too (a relative path is taken from the current folder).
    bool mnuLBFF_Click();
    bool openTableFile(const std::filesystem::path& chosen);
    // One of the recent files, opened as File > Open opens it; a file that
    // is gone leaves the list, with Open's message.
    bool openRecentFile(const std::filesystem::path& file);
    // File > Save: to CurrentTableFile, without a dialog.
    bool mnuSBTF_Click();
    // File > Save As with its dialog and the overwrite question;
    // saveTableFileAs is the same after the dialog (asking first when told).
    bool mnuSA_Click();
    bool saveTableFileAs(const std::filesystem::path& chosen, bool askOverwrite);

    // Pager > Read, Write, "Verfy". The face has moved the focus away from an
    // entry box first, so that a half-typed entry is checked: a refused
    // frequency cancels the command (it counts as failed).
    Result mnuEntire_Click();
    Result mnuEB_Click();
    Result mnuEB1_Click();
    // The pager against what Write would have written of the image (the
    // command line's verify of a table file).
    Result verifyAsWritten();
    // Help > Check Firmware.
    Result mnuFirmware_Click();

    // Pager > Open Backups Folder: the folder every pager read is kept in,
    // made when it is not there yet, shown through the face.
    void mnuBackupFolder_Click();

    // Timer1: one step of the board monitor.
    void Timer1_Timer();
    // File > Exit and closing the window: the board's release command.
    void mnuExit_Click();

    // A control's event handler (an editor operation): runs it on the
    // session and shows its effects. False when the entry was refused.
    bool handle(const std::function<Effects(Session&)>& handler);

    // Asks what is under way to stop at its next safe point: between two
    // frames of a transfer, between two pagers of a series. The signal
    // handler calls it (it only sets a flag), and so do the window's close
    // and the command line's interrupt. `signal` 0: the user asked.
    void requestStop(int signal = 0) noexcept { stop_.request(signal); }
    bool stopRequested() const { return stop_.requested(); }
    // The signal that asked for the stop; StopFlag::kNoSignal when the user did.
    int stopSignal() const { return stop_.signal(); }
    // After a command that a stop ended: what state the pager is in.
    Message stopReport() const;

    // Pager > Write first keeps the pager's memory in the backup folder
    // (off by default: it costs a whole read).
    void setBackupBeforeWrite(bool on) { backupBeforeWrite_ = on; }
    // Write then runs a series taking each pager's capcodes from the list.
    void useCapcodeList(std::vector<ListedCapcodes> list) { capcodeList_ = std::move(list); }
    bool backupBeforeWrite() const { return backupBeforeWrite_; }
    // The backups kept since the program started, oldest first.
    std::vector<std::filesystem::path> backupsKept() const;

    // Reads without the board's fixed pause before each reply; kept when
    // the board changes.
    void setFastRead(bool on);
    bool fastRead() const { return fastRead_; }

    // Changes the programmer board while the program runs: the board in use
    // gets its release command, the other kind is searched for without a
    // message and the status line shows what came of it. Nothing happens
    // while it is the board in use already.
    void useBoard(BoardKind kind);

    // The table files last opened or saved; the face keeps them between runs.
    const RecentFiles& recentFiles() const { return recent_; }
    void setRecentFiles(RecentFiles files) { recent_ = std::move(files); }
    // Where the file dialogs start: the folder of the file last opened or
    // saved, the program's folder until there is one (or when it is gone).
    std::filesystem::path dialogFolder() const;
    void setDialogFolder(const std::filesystem::path& folder) { dialogFolder_ = folder; }
    // Where every pager read is kept; empty when none are.
    std::filesystem::path backupFolder() const;

    Session& session() { return session_; }
    const Session& session() const { return session_; }
    const TableFileState& files() const { return files_; }
    Board& board() { return *board_; }
    std::string caption() const;

  private:
    Effects startEditorsAndTable(bool openDefaultTable);
    bool openDefault();
    bool openTable(const std::optional<std::filesystem::path>& chosen);
    bool save(const std::optional<std::filesystem::path>& chosen);
    void fileUsed(const std::filesystem::path& file);
    std::filesystem::path startingFolder();
    void makeProgramDirectoryFor(const std::filesystem::path& folder) const;
    Image imageToSave() const;
    Result runTransfer(TransferMode mode, const std::function<Result(Transfer&)>& command);
    Result writeSeries(Transfer& t);
    void showChanges();

    AppFace& face_;
    Session session_;
    TableFileState files_;
    RecentFiles recent_;
    std::filesystem::path dialogFolder_;
    StopFlag stop_;
    CommandFace commandFace_;
    BoardParts boardParts_;
    std::unique_ptr<Board> board_;
    std::optional<BackupStore> backups_;
    bool backupBeforeWrite_ = false;
    std::optional<std::vector<ListedCapcodes>> capcodeList_;
    bool fastRead_ = false;
    // A series is under way: the image holds the pager's letters.
    bool inSeries_ = false;
};

// The program's folder when it is writable, else the user's data folder
// (userDataFolder()).
std::filesystem::path defaultProgramDirectory();
// The same for a program in `programFolder`: an installed one (under /usr or
// /opt) always keeps its data in the user's folder.
std::filesystem::path programDirectoryFor(const std::filesystem::path& programFolder);

// What an exception that nothing else caught tells the user; the program
// then releases the board and ends.
Message unexpectedFailure(const std::exception& e);

}  // namespace kxp40s
