#include "ui/window_settings.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

namespace kxp40s::ui {

namespace {

constexpr const char* kFastRead = "pager/fastRead";
constexpr const char* kBoard = "pager/board";
constexpr const char* kBackup = "pager/backupBeforeWrite";
constexpr const char* kRecentFiles = "files/recent";
constexpr const char* kDialogFolder = "files/dialogFolder";

std::unique_ptr<QSettings> openSettings(const QString& file) {
    if (!file.isEmpty()) return std::make_unique<QSettings>(file, QSettings::IniFormat);
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, "kxp40s",
                                       "kxp40s");
}

// Qt finds a file not to be INI only when it merges a change into it, and
// then writes it all the same: a copy of the file is asked.
bool isUnreadable(const QString& file) {
    if (!QFile::exists(file)) return false;
    const QTemporaryDir folder;
    const QString copy = folder.filePath(QStringLiteral("probe.ini"));
    if (!folder.isValid() || !QFile::copy(file, copy)) return false;
    QSettings probe(copy, QSettings::IniFormat);
    probe.setValue(QStringLiteral("probe"), true);
    probe.sync();
    return probe.status() == QSettings::FormatError;
}

BoardKind boardIn(const QSettings& settings) {
    const QString name = settings.value(kBoard).toString();
    return parseBoardKind(name.toStdString()).value_or(BoardKind::Usb);
}

}  // namespace

WindowSettings::WindowSettings(const QString& file) : settings_(openSettings(file)) {
    setAsideIfUnreadable();
}

WindowSettings::~WindowSettings() = default;

// An unreadable file would make every later store look failed, and what
// little of it Qt could read may be anything: it is kept beside, under
// another name, and the choices start from their defaults.
void WindowSettings::setAsideIfUnreadable() {
    if (!isUnreadable(settings_->fileName())) return;
    const QString file = settings_->fileName();
    const QString aside = file + ".unreadable";
    settings_.reset();
    QFile::remove(aside);
    if (!QFile::rename(file, aside)) QFile::remove(file);
    setAside_ = aside;
    settings_ = std::make_unique<QSettings>(file, QSettings::IniFormat);
    setFastRead(false);
    setBackupBeforeWrite(false);
    setBoard(BoardKind::Usb);
}

BoardKind WindowSettings::boardChosen(const QString& file) {
    return boardIn(*openSettings(file));
}

// Only what this program writes counts: "true" or "false".
bool WindowSettings::flag(const char* key) const {
    return settings_->value(key).toString() == QLatin1String("true");
}

bool WindowSettings::fastRead() const {
    return flag(kFastRead);
}

bool WindowSettings::setFastRead(bool on) {
    return store(kFastRead, on);
}

// A name this version does not know (edited by hand, or from a later
// version) falls back to the USB board.
BoardKind WindowSettings::board() const {
    return boardIn(*settings_);
}

bool WindowSettings::setBoard(BoardKind kind) {
    return store(kBoard, QString::fromStdString(std::string(boardKindName(kind))));
}

bool WindowSettings::backupBeforeWrite() const {
    return flag(kBackup);
}

bool WindowSettings::setBackupBeforeWrite(bool on) {
    return store(kBackup, on);
}

QStringList WindowSettings::recentFiles() const {
    return settings_->value(kRecentFiles).toStringList();
}

bool WindowSettings::setRecentFiles(const QStringList& files) {
    return store(kRecentFiles, files);
}

QString WindowSettings::dialogFolder() const {
    return settings_->value(kDialogFolder).toString();
}

bool WindowSettings::setDialogFolder(const QString& folder) {
    return store(kDialogFolder, folder);
}

bool WindowSettings::store(const char* key, const QVariant& value) {
    settings_->setValue(key, value);
    settings_->sync();
    return settings_->status() == QSettings::NoError;
}

QString WindowSettings::fileName() const {
    return settings_->fileName();
}

}  // namespace kxp40s::ui
