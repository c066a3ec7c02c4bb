#pragma once

#include <QObject>
#include <deque>
#include <functional>
#include <map>
#include <vector>

#include "app/application.h"
#include "ui/handlers.h"
#include "ui/widgets.h"

class QAbstractButton;

namespace kxp40s::ui {

// Keeps ControlId <-> widget for every window, shows what the core keeps for
// a control, and turns each widget's events into the core operation of that
// control.
//
// Events run one after another, in the order they happened: a box's
// LostFocus runs before the Click on the button that took the focus from
// it, and a message box that one of them shows holds the next back until it
// is answered. Focus events are queued because a message box must not open
// inside Qt's own focus change.
class Binder : public QObject {
    Q_OBJECT

  public:
    explicit Binder(Application& app);

    // Takes the widgets of `set` into the binding and wires their events.
    void bind(ControlSet& set);
    QWidget* widget(ControlId id) const;
    std::optional<ControlId> idOf(const QObject* widget) const;

    // Shows the changed controls anew from the session's Controls, with
    // their signals blocked.
    void refresh(const std::vector<ControlId>& changed);
    // The core moves the focus: the box it leaves runs its LostFocus, the
    // one it enters does not run its GotFocus (a refused entry keeps its text).
    void moveFocus(ControlId id);
    // Runs every queued event now (before a menu command).
    void settle();

  signals:
    // A Click whose control opens a dialog has run.
    void opens(Window window);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    enum class When { Now, Later };
    void wire(ControlId id, QWidget* w, const Handlers& h);
    void wireButton(ControlId id, QAbstractButton& button);
    void click(ControlId id, int value);
    void run(const std::function<Effects(Session&)>& handler);
    void enqueue(std::function<void()> step, When when);
    void drain();
    bool focusEvent(ControlId id, QWidget* w, const Handlers& h, QEvent* event);
    bool keyEvent(ControlId id, QWidget* w, const Handlers& h, QEvent* event);
    void syncListLength(ControlId id);
    void hideBeneath(QWidget& front) const;

    Application& app_;
    std::vector<ControlSet*> sets_;
    std::map<const QObject*, ControlId> ids_;
    std::deque<std::function<void()>> queue_;
    bool draining_ = false;
    bool movingFocus_ = false;
    // The box a key is pressed in until it is released: its text is taken then.
    const QWidget* typingIn_ = nullptr;
    // The button held down by the mouse or the keyboard: its click follows.
    const QAbstractButton* pressing_ = nullptr;
};

}  // namespace kxp40s::ui
