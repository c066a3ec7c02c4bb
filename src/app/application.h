#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/app_face.h"
#include "app/board.h"
#include "editors/session.h"
#include "files/table_file.h"
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

// The running program: the module state (the session with its image and
// controls, the table-file state), the programmer board, the backup store,
// and the face. Its operations are the window's entry points; each shows
// what comes of it through the face and returns whether it went through.
class Application {
  public:
    Application(AppFace& face, AppOptions options = {});
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;
    ~Application();

    // Form_Load: the start-up sequence, the board search last.
    void Form_Load(StartUpSteps steps = {});

    // File > Open with its dialog; openTableFile is the same after the dialog.
    bool mnuLBFF_Click();
    bool openTableFile(const std::filesystem::path& chosen);
    // File > Save: to CurrentTableFile, without a dialog.
    bool mnuSBTF_Click();
    // File > Save As with its dialog and the overwrite question;
    // saveTableFileAs is the same after the dialog (asking first when told).
    bool mnuSA_Click();
    bool saveTableFileAs(const std::filesystem::path& chosen, bool askOverwrite);

    // Pager > Read, Write, "Verfy". The face has moved the focus away from an
    // entry box first, so that a half-typed entry is checked: a refused
    // frequency cancels the command. False when it did not run or failed.
    bool mnuEntire_Click();
    bool mnuEB_Click();
    bool mnuEB1_Click();
    // Form2's Write button during a series: write, verify, count up.
    bool cmdWrite_Click();
    // Help > Check Firmware.
    bool mnuFirmware_Click();

    // Timer1: one step of the board monitor.
    void Timer1_Timer();
    // File > Exit and closing the window: the board's release command.
    void mnuExit_Click();

    // A control's event handler (an editor operation): runs it on the
    // session and shows its effects. False when the entry was refused.
    bool handle(const std::function<Effects(Session&)>& handler);

    // Pager > Write first keeps the pager's memory in the backup folder
    // (off by default: it costs a whole read).
    void setBackupBeforeWrite(bool on) { backupBeforeWrite_ = on; }
    bool backupBeforeWrite() const { return backupBeforeWrite_; }

    // Reads without the board's fixed pause before each reply; kept when
    // the board changes.
    void setFastRead(bool on);
    bool fastRead() const { return fastRead_; }

    // Changes the programmer board while the program runs: the board in use
    // gets its release command, the other kind is searched for without a
    // message and the status line shows what came of it. Nothing happens
    // while it is the board in use already.
    void useBoard(BoardKind kind);

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
    Image imageToSave() const;
    bool runTransfer(int mode, const std::function<bool(Transfer&)>& command);
    Transfer transfer();
    void showChanges();

    AppFace& face_;
    Session session_;
    TableFileState files_;
    ClampedProgressFace progressFace_;
    BoardParts boardParts_;
    std::unique_ptr<Board> board_;
    std::optional<BackupStore> backups_;
    bool backupBeforeWrite_ = false;
    bool fastRead_ = false;
    // A series is under way: the image holds the pager's letters.
    bool inSeries_ = false;
};

// The program's folder when it is writable, else $XDG_DATA_HOME/kxp40s.
std::filesystem::path defaultProgramDirectory();

}  // namespace kxp40s
