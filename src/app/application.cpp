#include "app/application.h"

#include <unistd.h>

#include <cstdlib>
#include <system_error>

#include "app/startup.h"
#include "editors/load_image.h"
#include "link/firmware.h"
#include "transfer/charset.h"
#include "transfer/pager_commands.h"

namespace kxp40s {

namespace {

namespace fs = std::filesystem;

const ControlId kCaption{"Form1"};
enum Mode { kRead = 0, kWrite = 1, kVerify = 2 };

bool isWritableFolder(const fs::path& folder) {
    return !folder.empty() && ::access(folder.c_str(), W_OK) == 0;
}

fs::path userDataFolder() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && *data) return fs::path(data) / "kxp40s";
    const char* home = std::getenv("HOME");
    return fs::path(home && *home ? home : ".") / ".local" / "share" / "kxp40s";
}

}  // namespace

fs::path defaultProgramDirectory() {
    std::error_code ec;
    const fs::path program = fs::read_symlink("/proc/self/exe", ec);
    if (!ec && isWritableFolder(program.parent_path())) return program.parent_path();
    return userDataFolder();
}

Application::Application(AppFace& face, AppOptions options)
    : face_(face),
      files_(initialTableFileState(options.programDirectory.empty() ? defaultProgramDirectory()
                                                                    : options.programDirectory)),
      progressFace_(face),
      boardParts_(std::move(options.parts)),
      board_(makeBoard(options.board, progressFace_, boardParts_)) {
    if (options.keepBackups) {
        backups_.emplace(options.backupFolder.empty() ? BackupStore::defaultFolder()
                                                      : options.backupFolder);
    }
}

Application::~Application() = default;

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

// The board search comes last, so that the window can be on the screen,
// filled, while ports that never answer are waited for.
void Application::Form_Load(StartUpSteps steps) {
    board_->calibrate();
    face_.apply(startBeforeBoard(session_));
    session_.ImageJustLoaded = false;
    face_.apply(startEditorsAndTable(steps.openDefaultTable));
    if (steps.searchBoard) {
        face_.beforeBoardSearch();
        board_->connect(true);
    }
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
    files_.SilentFileCommand = true;
    const bool opened = openTable(std::nullopt);
    files_.SilentFileCommand = false;
    return opened;
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
    return true;
}

bool Application::mnuLBFF_Click() {
    const auto chosen = face_.askOpenFile(files_.ProgramDirectory);
    return chosen && openTableFile(*chosen);
}

bool Application::openTableFile(const fs::path& chosen) {
    return handle([&](Session& s) {
        Operation op(s);
        if (!openTable(chosen)) s.pending.refused = true;
        return op.done();
    });
}

bool Application::mnuSBTF_Click() {
    files_.SilentFileCommand = true;
    const bool saved = save(std::nullopt);
    files_.SilentFileCommand = false;
    return saved;
}

bool Application::mnuSA_Click() {
    const auto chosen = face_.askSaveFile(files_.ProgramDirectory);
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
        if (const auto failure = kxp40s::mnuSA_Click(files_, imageToSave(), chosen)) {
            s.say(*failure);
            s.pending.refused = true;
        } else {
            s.controls.setText(kCaption, captionWithPath(caption(), files_.CurrentTableFile));
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

Transfer Application::transfer() {
    Transfer t{session_,          progressFace_, nullptr, nullptr, backups_ ? &*backups_ : nullptr,
               backupBeforeWrite_};
    board_->bind(t);
    return t;
}

bool Application::runTransfer(int mode, const std::function<bool(Transfer&)>& command) {
    Transfer t = transfer();
    session_.TransferFailed = false;
    face_.openTransferWindow(mode);
    const bool ran = command(t);
    face_.closeTransferWindow();
    showChanges();
    return ran && !session_.TransferFailed;
}

bool Application::mnuEntire_Click() {
    return runTransfer(kRead, [](Transfer& t) { return kxp40s::mnuEntire_Click(t); });
}

bool Application::mnuEB_Click() {
    return runTransfer(kWrite, [this](Transfer& t) {
        return kxp40s::mnuEB_Click(t, [this](Transfer&) {
            inSeries_ = true;
            face_.runSeries(*this);
            inSeries_ = false;
        });
    });
}

bool Application::mnuEB1_Click() {
    return runTransfer(kVerify, [](Transfer& t) { return kxp40s::mnuEB1_Click(t); });
}

bool Application::cmdWrite_Click() {
    Transfer t = transfer();
    kxp40s::cmdWrite_Click(t);
    showChanges();
    return !session_.TransferFailed;
}

bool Application::mnuFirmware_Click() {
    face_.setTimer1Enabled(false);
    const auto firmware = board_->readFirmwareByte();
    if (firmware) face_.show(firmwareMessage(*firmware));
    face_.setTimer1Enabled(true);
    return firmware.has_value();
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
    board_ = makeBoard(kind, progressFace_, boardParts_);
    board_->setFastRead(fastRead_);
    board_->calibrate();
    board_->connect(false);
    face_.setTimer1Enabled(true);
}

}  // namespace kxp40s
