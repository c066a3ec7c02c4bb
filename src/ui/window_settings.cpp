#include "ui/window_settings.h"

#include <QSettings>

namespace kxp40s::ui {

namespace {

constexpr const char* kFastRead = "pager/fastRead";
constexpr const char* kBoard = "pager/board";
constexpr const char* kBackup = "pager/backupBeforeWrite";

std::unique_ptr<QSettings> openSettings(const QString& file) {
    if (!file.isEmpty()) return std::make_unique<QSettings>(file, QSettings::IniFormat);
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, "kxp40s",
                                       "kxp40s");
}

}  // namespace

WindowSettings::WindowSettings(const QString& file) : settings_(openSettings(file)) {}

WindowSettings::~WindowSettings() = default;

bool WindowSettings::fastRead() const {
    return settings_->value(kFastRead, false).toBool();
}

bool WindowSettings::setFastRead(bool on) {
    return store(kFastRead, on);
}

// A name this version does not know (edited by hand, or from a later
// version) falls back to the USB board.
BoardKind WindowSettings::board() const {
    const QString name = settings_->value(kBoard).toString();
    return parseBoardKind(name.toStdString()).value_or(BoardKind::Usb);
}

bool WindowSettings::setBoard(BoardKind kind) {
    return store(kBoard, QString::fromStdString(std::string(boardKindName(kind))));
}

bool WindowSettings::backupBeforeWrite() const {
    return settings_->value(kBackup, false).toBool();
}

bool WindowSettings::setBackupBeforeWrite(bool on) {
    return store(kBackup, on);
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
