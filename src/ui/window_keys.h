#pragma once

#include <QKeySequence>
#include <QList>
#include <QObject>

class QMainWindow;

namespace kxp40s::ui {

// The main window's own keys: the menus' shortcut keys win over a text box
// that would take them for itself (Ctrl+A selects all, Ctrl+E goes to the
// end of the line), as the menus always have; and Ctrl+Tab, Ctrl+Shift+Tab,
// Ctrl+PgDn and Ctrl+PgUp move between the pages.
class WindowKeys : public QObject {
    Q_OBJECT

  public:
    // `window`'s menu items must be in place: their shortcut keys are taken
    // as they stand.
    explicit WindowKeys(QMainWindow& window);

    // `box` leaves the window's keys to the window.
    void giveWayIn(QWidget& box);

  signals:
    void nextPage();
    void previousPage();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool isWindowKey(const QKeySequence& key) const;
    void addPageKeys(QMainWindow& window, const QList<QKeySequence>& keys,
                     void (WindowKeys::*signal)());

    QList<QKeySequence> keys_;
};

}  // namespace kxp40s::ui
