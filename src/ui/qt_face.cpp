#include "ui/qt_face.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QUrl>
#include <iostream>

#include "files/table_file.h"
#include "ui/main_window.h"
#include "ui/message_box.h"

namespace kxp40s::ui {

namespace {

// Message boxes stand over the modal window in front (the transfer window
// during a transfer), else over the main window.
QWidget* boxParent(MainWindow& window) {
    QWidget* modal = QApplication::activeModalWidget();
    return modal ? modal : &window;
}

}  // namespace

// Once a stop was asked for, nothing waits for the user any more: the
// message goes to stderr and a question gets its safe answer.
Answer QtFace::show(const Message& message) {
    if (window_.app().stopRequested()) {
        note(message);
        return message.buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
    }
    window_.transferWindow().ensureShown();
    return showMessage(boxParent(window_), message);
}

void QtFace::note(const Message& message) {
    std::cerr << QString::fromStdString(message.text).replace("\r\n", " ").toStdString() << "\n";
}

void QtFace::apply(const Effects& effects) {
    for (const Message& message : effects.messages)
        show(message);
    window_.binder().refresh(effects.changed);
    if (effects.focus) window_.binder().moveFocus(*effects.focus);
}

void QtFace::setTimer1Enabled(bool enabled) {
    if (enabled) {
        window_.timer1().start();
    } else {
        window_.timer1().stop();
    }
}

void QtFace::showBoardStatus(const BoardStatus& status) {
    window_.showBoardStatus(status);
}

void QtFace::setProgressMaximum(int maximum) {
    window_.transferWindow().setProgressMaximum(maximum);
}

void QtFace::setProgressValue(int value) {
    window_.transferWindow().setProgressValue(value);
}

void QtFace::setProgressColour(Colour colour) {
    window_.transferWindow().setProgressColour(colour);
}

void QtFace::setStatusText(const std::string& text) {
    window_.transferWindow().setStatusText(text);
}

void QtFace::pumpEvents() {
    window_.transferWindow().ensureShown();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

std::optional<std::filesystem::path> QtFace::askOpenFile(const std::filesystem::path& folder) {
    return askFile(folder, false);
}

std::optional<std::filesystem::path> QtFace::askSaveFile(const std::filesystem::path& folder) {
    return askFile(folder, true);
}

// Save As asks its own overwrite question, so the dialog does not.
std::optional<std::filesystem::path> QtFace::askFile(const std::filesystem::path& folder,
                                                     bool save) {
    QFileDialog dialog(&window_, QString(), qPath(folder), QString::fromUtf8(kTableFileFilter));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // A name typed for Open that names no file gets the program's own message.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return pathOf(dialog.selectedFiles().front());
}

bool QtFace::showFolder(const std::filesystem::path& folder) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(qPath(folder)));
}

void QtFace::beforeBoardSearch() {
    window_.beforeBoardSearch();
}

void QtFace::openTransferWindow(TransferMode /*mode*/) {
    window_.transferWindow().open();
}

void QtFace::closeTransferWindow() {
    window_.transferWindow().finish();
}

NextPager QtFace::waitForPager(int /*number*/) {
    return window_.transferWindow().waitForPager();
}

}  // namespace kxp40s::ui
