#pragma once

#include <QMainWindow>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <string_view>

#include "app/application.h"
#include "ui/binder.h"
#include "ui/dialogs.h"
#include "ui/qt_face.h"
#include "ui/recent_menu.h"
#include "ui/transfer_window.h"
#include "ui/widgets.h"
#include "ui/window_keys.h"
#include "ui/window_settings.h"

class QApplication;
class QLabel;
class QMenu;
class QShortcut;
class QMimeData;

namespace kxp40s::ui {

// The program's look: one style and font on every machine.
void prepareApplication(QApplication& app);

// Shows `window` and returns once it is on the screen and painted; user
// input waits meanwhile.
void showPainted(QWidget& window);

class TabStrip;

// The main window Form1: the menus, the tab strip with its four pages, the
// status line and the board monitor Timer1, on one application object.
// Every command runs to its end before another can start; the monitor does
// not tick meanwhile.
class MainWindow : public QMainWindow {
    Q_OBJECT

  public:
    // `settingsFile`: where the window's choices are remembered; empty: the
    // user's own settings. The board of `options` is the one this run uses.
    // The window opens at its design size, made smaller to fit the screen.
    explicit MainWindow(AppOptions options = {}, const QString& settingsFile = {});
    ~MainWindow() override;

    // Form_Load: the start-up sequence.
    void Form_Load(StartUpSteps steps = {});
    // Start-up as the program runs it: the window comes on the screen,
    // filled, before the board search, and says that it is searching; then
    // `file`, when one is named, opens as by File > Open.
    void startUp(const std::filesystem::path& file = {});
    void beforeBoardSearch();
    // A stop signal: the command under way stops at its next safe point
    // (open boxes and dialogs close with their safe choice), then the
    // program ends as by File > Exit, with the signal's exit status.
    void endOnSignal(int signal);
    // An exception no command caught: its message, then the board's release
    // command and the end, with exit status 1.
    void endOnFailure(const QString& text);

    // File > Open without the dialog, of a file named on the command line.
    void openTableFile(const std::filesystem::path& file);

    // The menu commands.
    void mnuLBFF_Click();          // File > Open
    void mnuSBTF_Click();          // File > Save
    void mnuSA_Click();            // File > Save As...
    void mnuExit_Click();          // File > Exit
    void mnuEntire_Click();        // Pager > Read
    void mnuEB_Click();            // Pager > Write
    void mnuEB1_Click();           // Pager > "Verfy"
    void mnuFirmware_Click();      // Help > Check Firmware
    void mnuAbout_Click();         // Help > About
    void mnuBackupFolder_Click();  // Pager > Open Backups Folder
    // A table file opened as File > Open opens it, without the dialog: a
    // file named on the command line or dropped on the window.
    void openFile(const std::filesystem::path& file);
    void openRecentFile(const std::filesystem::path& file);
    // The remembered choices: Pager > Fast Read and Backup Before Write,
    // the Board menu.
    void mnuFastRead_Click(bool on);
    void mnuBackup_Click(bool on);
    void chooseBoard(BoardKind kind);
    void Timer1_Timer();

    // The tab buttons: the page comes to the front and takes the focus.
    void showPage(Page page);
    // Ctrl+Tab and Ctrl+PgDn (1), Ctrl+Shift+Tab and Ctrl+PgUp (-1): the
    // next or the previous page, round the four.
    void showNextPage(int step);
    // The mode buttons: Write mode locks the page's entries and lets Space
    // start a write; Modify mode unlocks them.
    void setWriteMode(bool on);
    Page currentPage() const { return page_; }

    Application& app() { return *app_; }
    Binder& binder() { return *binder_; }
    QWidget* widget(ControlId id) const;
    QAction* action(std::string_view name) const;
    QMenu* menu(std::string_view name) const;
    TransferWindow& transferWindow() { return *transferWindow_; }
    RecentMenu& recentMenu() { return *recentMenu_; }
    FormDialog& dialog(Window window);
    QTimer& timer1() { return timer1_; }
    QLabel* statusLine() const;
    bool busy() const { return busy_; }

    // What the board monitor shows: the status line and the Pager menu.
    void showBoardStatus(const BoardStatus& status);

  signals:
    // The program is to end with `exitStatus`: after a stop signal, once
    // the command under way has stopped and the board is released.
    void ended(int exitStatus);
    void boardStatusShown(const QString& text, const QColor& colour);
    // startUp has the window on the screen and painted.
    void shownOnScreen();

  protected:
    void closeEvent(QCloseEvent* event) override;  // Form_Unload
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void buildMenus();
    void buildSettingItems();
    void remember(bool kept);
    void buildTabStrip();
    void buildKeys();
    void fitToScreen();
    void keepFileChoices();
    void sayIfSettingsSetAside();
    std::optional<std::filesystem::path> droppedTableFile(const QMimeData& mime) const;
    void runCommand(const std::function<void()>& command);
    void runTransfer(const std::function<Result()>& command);
    void rejectOpenDialogs();
    void picTabBack_MouseMove();
    void openDialog(Window window);
    void release();
    void endNow();
    void finishCommand();
    void showOnScreen();
    static void setStatusLine(QLabel& line, const QString& text, const QColor& colour);

    QtFace face_;
    WindowSettings settings_;
    std::unique_ptr<Application> app_;
    std::unique_ptr<Binder> binder_;
    TabStrip* tabStrip_ = nullptr;
    std::unique_ptr<ControlSet> controls_;
    // The transfer window and the dialogs are the window's children.
    TransferWindow* transferWindow_ = nullptr;
    std::map<Window, FormDialog*> dialogs_;
    std::map<std::string_view, QAction*> actions_;
    std::map<std::string_view, QMenu*> menus_;
    RecentMenu* recentMenu_ = nullptr;
    WindowKeys* keys_ = nullptr;
    RecentFiles keptRecent_;
    QTimer timer1_;
    QShortcut* writeKey_ = nullptr;
    Page page_ = Page::FreqCodes;
    bool busy_ = false;
    bool released_ = false;
    bool startingUp_ = false;
    bool endRequested_ = false;
    bool closeRequested_ = false;
    bool onScreen_ = false;
};

}  // namespace kxp40s::ui
