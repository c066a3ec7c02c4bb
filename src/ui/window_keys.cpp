#include "ui/window_keys.h"

#include <QAction>
#include <QKeyEvent>
#include <QMainWindow>
#include <QShortcut>

namespace kxp40s::ui {

WindowKeys::WindowKeys(QMainWindow& window) : QObject(&window) {
    for (const QAction* action : window.findChildren<QAction*>()) {
        for (const QKeySequence& key : action->shortcuts())
            keys_ << key;
    }
    addPageKeys(window,
                {QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)},
                &WindowKeys::nextPage);
    addPageKeys(window,
                {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
                 QKeySequence(Qt::CTRL | Qt::Key_PageUp)},
                &WindowKeys::previousPage);
}

void WindowKeys::addPageKeys(QMainWindow& window, const QList<QKeySequence>& keys,
                             void (WindowKeys::*signal)()) {
    for (const QKeySequence& key : keys) {
        auto* shortcut = new QShortcut(key, &window);
        connect(shortcut, &QShortcut::activated, this, signal);
        keys_ << key;
    }
}

void WindowKeys::giveWayIn(QWidget& box) {
    box.installEventFilter(this);
}

bool WindowKeys::isWindowKey(const QKeySequence& key) const {
    return keys_.contains(key);
}

// A box that claims a key before the shortcuts are asked does so through
// ShortcutOverride; left unaccepted, the key goes to the window's shortcut.
bool WindowKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ShortcutOverride) return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (!isWindowKey(QKeySequence(key->keyCombination()))) return false;
    event->ignore();
    return true;
}

}  // namespace kxp40s::ui
