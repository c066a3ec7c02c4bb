#include "app/application.h"

#include <system_error>
#include <utility>

#include "app/startup.h"
#include "editors/load_image.h"
#include "files/system.h"
#include "image/pager_map.h"
#include "image/scoped.h"
#include "link/firmware.h"
#include "transfer/charset.h"
#include "transfer/pager_commands.h"

namespace kxp40s {

namespace {

namespace fs = std::filesystem;

const ControlId kCaption{"Form1"};

// A program under /usr or /opt was installed by the package manager, which
// owns its folder even where the user (root) may write there: its data goes
// to the user's folder, so that removing the package leaves nothing behind.
bool isInstalledFolder(const fs::path& folder) {
    if (!folder.has_root_directory()) return false;
    const fs::path top = *std::next(folder.begin());
    return top == "usr" || top == "opt";
}

bool isFolder(const fs::path& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

std::string stoppedText(PagerState state) {
    switch (state) {
        case PagerState::PartlyWritten:
            return "Stopped: the pager may be half-written: write it again.";
        case PagerState::Written:
            return "Stopped: the pager was written but not verified.";
        case PagerState::Verified:
            return "Stopped: the pager was written and verified.";
        case PagerState::BetweenPagers:
            return "Stopped between two pagers: no pager was being written.";
        case PagerState::Unchanged:
            break;
    }
    return "Stopped: the pager was not changed.";
}

}  // namespace

Answer CommandFace::show(const Message& message) {
    if (!stop_.requested()) return ClampedProgressFace::show(message);
    face_.note(message);
    return message.buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
}

Message unexpectedFailure(const std::exception& e) {
    return warning(std::string("The program met an error it cannot go on from: ") + e.what() +
                   ". The programmer board is released and the program ends.");
}

fs::path programDirectoryFor(const fs::path& programFolder) {
    if (!isInstalledFolder(programFolder) && isWritableFolder(programFolder)) return programFolder;
    return userDataFolder();
}

fs::path defaultProgramDirectory() {
    return programDirectoryFor(programFile().parent_path());
}

Application::Application(AppFace& face, AppOptions options)
    : face_(face),
      files_(initialTableFileState(options.programDirectory.empty() ? defaultProgramDirectory()
                                                                    : options.programDirectory)),
      commandFace_(face, stop_),
      boardParts_(std::move(options.parts)) {
    boardParts_.stop = &stop_;
    board_ = makeBoard(options.board, commandFace_, boardParts_);
    if (options.keepBackups) {
        backups_.emplace(options.backupFolder.empty() ? BackupStore::defaultFolder()
                                                      : options.backupFolder);
    }
}

Application::~Application() = default;

std::vector<fs::path> Application::backupsKept() const {
    return backups_ ? backups_->kept() : std::vector<fs::path>{};
}

std::string Application::caption() const {
    return session_.controls[kCaption].text;
}

void Application::showChanges() {
    Effects effects;
    effects.changed = session_.controls.takeChanged();
    if (!effects.changed.empty()) face_.apply(effects);
}

bool Application::handle(const std::function<Effects(Session&)>& handler) {
    const Effects effects = handler(session_);
    face_.apply(effects);
    return !effects.refused;
}

// The controls are filled before the board search, so that the window can
// be on the screen while ports that never answer are waited for; what
// "default.tbl" has to say waits until the search has said its own.
void Application::Form_Load(StartUpSteps steps) {
    board_->calibrate();
    face_.apply(startBeforeBoard(session_));
    session_.ImageJustLoaded = false;
    Effects filled = startEditorsAndTable(steps.openDefaultTable);
    Effects tableMessages;
    tableMessages.messages = std::exchange(filled.messages, {});
    face_.apply(filled);
    if (steps.searchBoard) {
        face_.beforeBoardSearch();
        board_->connect(true);
    }
    face_.apply(tableMessages);
    face_.setTimer1Enabled(true);
}

Effects Application::startEditorsAndTable(bool openDefaultTable) {
    Operation op(session_);
    startEditors(session_);
    if (!openDefaultTable || !openDefault()) selectDefaultBand(session_);
    session_.OldPagerFirmware = false;
    return op.done();
}

// A "default.tbl" that is there but refused is reported, and the window
// then shows the built-in defaults as if there were none.
bool Application::openDefault() {
    std::error_code ec;
    if (!fs::exists(files_.CurrentTableFile, ec)) return false;
    ScopedValue silent(files_.SilentFileCommand, true);
    return openTable(std::nullopt);
}

bool Application::openTable(const std::optional<fs::path>& chosen) {
    TableRead read = kxp40s::mnuLBFF_Click(files_, chosen);
    if (!read.image) {
        session_.say(*read.message);
        return false;
    }
    loadImage(session_, *read.image);
    session_.controls.setText(kCaption,
                              captionWithPath(caption(), chosen.value_or(files_.CurrentTableFile)));
    if (chosen) fileUsed(*chosen);
    return true;
}

bool Application::mnuLBFF_Click() {
    const auto chosen = face_.askOpenFile(startingFolder());
    return chosen && openTableFile(*chosen);
}

bool Application::openTableFile(const fs::path& chosen) {
    std::error_code ec;
    const fs::path file = fs::absolute(chosen, ec);
    return handle([&](Session& s) {
        Operation op(s);
        if (!openTable(ec ? chosen : file)) s.pending.refused = true;
        return op.done();
    });
}

bool Application::openRecentFile(const fs::path& file) {
    std::error_code ec;
    if (!fs::exists(file, ec)) recent_.remove(file);
    return openTableFile(file);
}

void Application::fileUsed(const fs::path& file) {
    recent_.add(file);
    dialogFolder_ = file.parent_path();
}

fs::path Application::dialogFolder() const {
    return isFolder(dialogFolder_) ? dialogFolder_ : files_.ProgramDirectory;
}

fs::path Application::startingFolder() {
    const fs::path folder = dialogFolder();
    makeProgramDirectoryFor(folder);
    return folder;
}

// The program's folder (an installed program's data folder) is made when the
// first file needs it: a save into it, or a dialog that starts there.
void Application::makeProgramDirectoryFor(const fs::path& folder) const {
    std::error_code ec;  // a failure is the save's to say
    if (folder == files_.ProgramDirectory) fs::create_directories(folder, ec);
}

fs::path Application::backupFolder() const {
    return backups_ ? backups_->folder() : fs::path();
}

bool Application::mnuSBTF_Click() {
    ScopedValue silent(files_.SilentFileCommand, true);
    return save(std::nullopt);
}

bool Application::mnuSA_Click() {
    const auto chosen = face_.askSaveFile(startingFolder());
    return chosen && saveTableFileAs(*chosen, true);
}

bool Application::saveTableFileAs(const fs::path& chosen, bool askOverwrite) {
    if (askOverwrite) {
        const auto question = overwriteQuestion(chosen);
        if (question && face_.show(*question) != Answer::Yes) return false;
    }
    return save(chosen);
}

bool Application::save(const std::optional<fs::path>& chosen) {
    return handle([&](Session& s) {
        Operation op(s);
        makeProgramDirectoryFor(chosen.value_or(files_.CurrentTableFile).parent_path());
        if (const auto failure = kxp40s::mnuSA_Click(files_, imageToSave(), chosen)) {
            s.say(*failure);
            s.pending.refused = true;
        } else {
            s.controls.setText(kCaption, captionWithPath(caption(), files_.CurrentTableFile));
            fileUsed(files_.CurrentTableFile);
        }
        return op.done();
    });
}

// During a series the image holds the pager's letters; a file always gets
// the PC's, as after the series.
Image Application::imageToSave() const {
    Image image = session_.ConfigImage;
    if (inSeries_) TextToPc(image);
    return image;
}

Result Application::runTransfer(TransferMode mode,
                                const std::function<Result(Transfer&)>& command) {
    Transfer t{session_,
               commandFace_,
               board_->pagerLink(),
               backups_ ? &*backups_ : nullptr,
               backupBeforeWrite_,
               &stop_,
               capcodeList_ ? &*capcodeList_ : nullptr};
    session_.TransferFailed = false;
    session_.pagerState = PagerState::Unchanged;
    Result result = Result::Failed;
    {
        face_.openTransferWindow(mode);
        OnScopeExit close([this] { face_.closeTransferWindow(); });
        result = command(t);
    }
    showChanges();
    // A stop asked for after the last safe point still ends the program as
    // a stop: the report says how far the pager got.
    return stopRequested() ? Result::Stopped : result;
}

Result Application::mnuEntire_Click() {
    return runTransfer(TransferMode::Read, [](Transfer& t) { return kxp40s::mnuEntire_Click(t); });
}

Result Application::mnuEB_Click() {
    return runTransfer(TransferMode::Write, [this](Transfer& t) {
        return kxp40s::mnuEB_Click(t, [this](Transfer& series) { return writeSeries(series); });
    });
}

Result Application::writeSeries(Transfer& t) {
    ScopedValue series(inSeries_, true);
    return runSeries(t, face_);
}

Result Application::mnuEB1_Click() {
    return runTransfer(TransferMode::Verify, [](Transfer& t) { return kxp40s::mnuEB1_Click(t); });
}

Result Application::verifyAsWritten() {
    return runTransfer(TransferMode::Verify,
                       [](Transfer& t) { return kxp40s::verifyAsWritten(t); });
}

Result Application::mnuFirmware_Click() {
    face_.setTimer1Enabled(false);
    OnScopeExit monitor([this] { face_.setTimer1Enabled(true); });
    const auto firmware = board_->pagerLink().readBytes(pager::kFirmware, pager::kFirmware);
    if (!firmware) return stopRequested() ? Result::Stopped : Result::Failed;
    commandFace_.show(firmwareMessage(firmware->front()));
    return Result::Done;
}

void Application::mnuBackupFolder_Click() {
    if (!backups_) return;
    if (const std::string failure = backups_->makeFolder(); !failure.empty()) {
        face_.show(warning(failure));
    } else if (!face_.showFolder(backups_->folder())) {
        face_.show(warning("The backups are kept in [" + utf8Text(backups_->folder()) +
                           "]: no file manager could be started to show them."));
    }
}

Message Application::stopReport() const {
    return warning(stoppedText(session_.pagerState));
}

void Application::Timer1_Timer() {
    board_->monitorTick();
}

void Application::mnuExit_Click() {
    board_->release();
}

void Application::setFastRead(bool on) {
    fastRead_ = on;
    board_->setFastRead(on);
}

void Application::useBoard(BoardKind kind) {
    if (kind == board_->kind()) return;
    face_.setTimer1Enabled(false);
    board_->release();
    board_.reset();  // the old board lets go of its port before the new one opens
    board_ = makeBoard(kind, commandFace_, boardParts_);
    board_->setFastRead(fastRead_);
    board_->calibrate();
    board_->connect(false);
    face_.setTimer1Enabled(true);
}

}  // namespace kxp40s
