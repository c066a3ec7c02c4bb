#pragma once

#include <QString>
#include <QStringList>
#include <memory>

#include "app/board.h"

class QSettings;
class QVariant;

namespace kxp40s::ui {

// What the window remembers between runs: the fast read, the programmer
// board, the backup before a write, the recent files and the folder the
// file dialogs last used. Each is stored as it changes, so that a crash or a
// signal loses none of them. A value this version cannot read counts as
// never chosen.
class WindowSettings {
  public:
    // `file` empty: the user's own settings of this program; else an INI
    // file of that path (tests, portable installs). A file that cannot be
    // read is set aside (setAside() says where) and written anew.
    explicit WindowSettings(const QString& file = {});
    ~WindowSettings();
    WindowSettings(const WindowSettings&) = delete;
    WindowSettings& operator=(const WindowSettings&) = delete;

    // The board chosen last, read without setting anything aside (before
    // the window is made).
    static BoardKind boardChosen(const QString& file = {});

    // The setters say whether the choice reached the file.
    bool fastRead() const;  // off until chosen
    bool setFastRead(bool on);
    BoardKind board() const;  // the USB board until chosen
    bool setBoard(BoardKind kind);
    bool backupBeforeWrite() const;  // off until chosen
    bool setBackupBeforeWrite(bool on);
    QStringList recentFiles() const;  // newest first
    bool setRecentFiles(const QStringList& files);
    QString dialogFolder() const;  // empty until a file was opened or saved
    bool setDialogFolder(const QString& folder);
    QString fileName() const;

    // Where an unreadable settings file was moved at start; empty when none was.
    const QString& setAside() const { return setAside_; }

  private:
    bool store(const char* key, const QVariant& value);
    bool flag(const char* key) const;
    void setAsideIfUnreadable();

    std::unique_ptr<QSettings> settings_;
    QString setAside_;
};

}  // namespace kxp40s::ui
