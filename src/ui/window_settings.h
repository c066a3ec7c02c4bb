#pragma once

#include <QString>
#include <memory>

#include "app/board.h"

class QSettings;
class QVariant;

namespace kxp40s::ui {

// What the window remembers between runs: the fast read, the programmer
// board and the backup before a write. Each choice is stored as it is made,
// so that a crash or a signal loses none of them.
class WindowSettings {
  public:
    // `file` empty: the user's own settings of this program; else an INI
    // file of that path (tests, portable installs).
    explicit WindowSettings(const QString& file = {});
    ~WindowSettings();
    WindowSettings(const WindowSettings&) = delete;
    WindowSettings& operator=(const WindowSettings&) = delete;

    // The setters say whether the choice reached the file.
    bool fastRead() const;  // off until chosen
    bool setFastRead(bool on);
    BoardKind board() const;  // the USB board until chosen
    bool setBoard(BoardKind kind);
    bool backupBeforeWrite() const;  // off until chosen
    bool setBackupBeforeWrite(bool on);
    QString fileName() const;

  private:
    bool store(const char* key, const QVariant& value);

    std::unique_ptr<QSettings> settings_;
};

}  // namespace kxp40s::ui
