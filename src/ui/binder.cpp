#include "ui/binder.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "ui/widgets/eb_slider.h"

namespace kxp40s::ui {

namespace {

constexpr int kEnter = 13;

// Focus that comes and goes with a whole window (a message box, a menu)
// is no move between the window's controls.
bool isWindowFocusChange(Qt::FocusReason reason) {
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason ||
           reason == Qt::MenuBarFocusReason;
}

int keyAsciiOf(const QKeyEvent& key) {
    if (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) return kEnter;
    const QString text = key.text();
    return text.isEmpty() ? 0 : text.at(0).unicode();
}

}  // namespace

Binder::Binder(Application& app) : app_(app) {}

void Binder::bind(ControlSet& set) {
    sets_.push_back(&set);
    for (const auto& [id, w] : set.widgets()) {
        ids_.insert_or_assign(w, id);
        if (const Handlers* h = handlersOf(id.name())) wire(id, w, *h);
    }
}

QWidget* Binder::widget(ControlId id) const {
    for (const ControlSet* set : sets_) {
        if (QWidget* w = set->widget(id)) return w;
    }
    return nullptr;
}

std::optional<ControlId> Binder::idOf(const QObject* widget) const {
    const auto it = ids_.find(widget);
    if (it == ids_.end()) return std::nullopt;
    return it->second;
}

void Binder::wire(ControlId id, QWidget* w, const Handlers& h) {
    if (h.gotFocus || h.lostFocus || h.lostFocusWithText || h.keyPress || h.keyUp) {
        w->installEventFilter(this);
        w->setContextMenuPolicy(Qt::NoContextMenu);  // text comes in by keys only
    }
    if (auto* box = qobject_cast<QLineEdit*>(w); box && h.keyUp) {
        // Text put in by other means than keys (assistive technology, the
        // middle button's paste) is taken as a key's would be; a box that
        // takes no keys now (Write mode, read-only) takes no text either.
        connect(box, &QLineEdit::textChanged, this, [this, id, box, &h](const QString& text) {
            if (typingIn_ == box) return;
            if (!box->isEnabled() || box->isReadOnly()) return refresh({id});
            enqueue([this, id, text = text.toStdString(),
                     &h] { run([&](Session& s) { return h.keyUp(s, id.index(), text); }); },
                    When::Now);
        });
    }
    if (!h.click) return;
    if (auto* list = qobject_cast<QComboBox*>(w)) {
        connect(list, &QComboBox::activated, this, [this, id](int item) { click(id, item); });
    } else if (auto* slider = qobject_cast<EBSlider*>(w)) {
        connect(slider, &EBSlider::changed, this, [this, id](int value) { click(id, value); });
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        wireButton(id, *button);
    }
}

// A press released over the button (mouse, Space) raises Click once it has
// changed the button's state. A state changed with no press (assistive
// technology's toggle) raises it too, and for an option button only when
// it becomes selected: one Click, whatever moved the button.
void Binder::wireButton(ControlId id, QAbstractButton& button) {
    const bool option = qobject_cast<QRadioButton*>(&button) != nullptr;
    connect(&button, &QAbstractButton::pressed, this, [this, &button] { pressing_ = &button; });
    connect(&button, &QAbstractButton::released, this, [this] { pressing_ = nullptr; });
    connect(&button, &QAbstractButton::toggled, this, [this, id, option, &button](bool on) {
        if (pressing_ != &button && (on || !option)) click(id, on ? 1 : 0);
    });
    connect(&button, &QAbstractButton::clicked, this,
            [this, id](bool checked) { click(id, checked ? 1 : 0); });
}

void Binder::click(ControlId id, int value) {
    const Handlers* h = handlersOf(id.name());
    enqueue(
        [this, id, value, h] {
            run([&](Session& s) { return h->click(s, id.index(), value); });
            // The dialog opens once this event is done, so that its own
            // events run while it is open.
            if (h->opens) {
                QMetaObject::invokeMethod(
                    this, [this, window = *h->opens] { emit opens(window); }, Qt::QueuedConnection);
            }
        },
        When::Now);
}

void Binder::run(const std::function<Effects(Session&)>& handler) {
    app_.handle(handler);
}

bool Binder::eventFilter(QObject* watched, QEvent* event) {
    auto* w = qobject_cast<QWidget*>(watched);
    const auto it = ids_.find(watched);
    if (!w || it == ids_.end()) return false;
    const Handlers* h = handlersOf(it->second.name());
    if (!h) return false;
    switch (event->type()) {
        case QEvent::FocusIn:
        case QEvent::FocusOut:
            return focusEvent(it->second, w, *h, event);
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
            return keyEvent(it->second, w, *h, event);
        default:
            return false;
    }
}

bool Binder::focusEvent(ControlId id, QWidget* w, const Handlers& h, QEvent* event) {
    const auto* focus = static_cast<QFocusEvent*>(event);
    if (event->type() == QEvent::FocusOut && typingIn_ == w) typingIn_ = nullptr;
    if (isWindowFocusChange(focus->reason())) return false;
    if (event->type() == QEvent::FocusIn) {
        if (h.gotFocus && !movingFocus_) {
            // By the time it runs, a refusal may have taken the focus back.
            enqueue(
                [this, id, w, &h] {
                    if (w->hasFocus()) run([&](Session& s) { return h.gotFocus(s, id.index()); });
                },
                When::Later);
        }
    } else if (h.lostFocus) {
        enqueue([this, id, &h] { run([&](Session& s) { return h.lostFocus(s, id.index()); }); },
                When::Later);
    } else if (h.lostFocusWithText) {
        auto* box = qobject_cast<QLineEdit*>(w);
        enqueue(
            [this, id, box, &h] {
                const std::string text = box ? box->text().toStdString() : std::string();
                run([&](Session& s) { return h.lostFocusWithText(s, id.index(), text); });
            },
            When::Later);
    }
    return false;
}

bool Binder::keyEvent(ControlId id, QWidget* w, const Handlers& h, QEvent* event) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (event->type() == QEvent::KeyPress) {
        typingIn_ = w;  // what the key types is taken when it is released
        const int ascii = keyAsciiOf(*key);
        if (h.keyPress) {
            enqueue([this, id, ascii,
                     &h] { run([&](Session& s) { return h.keyPress(s, id.index(), ascii); }); },
                    When::Now);
        }
        // Enter is never typed into a box: its KeyPress has moved the focus on.
        return ascii == kEnter && h.keyPress;
    }
    if (!key->isAutoRepeat()) typingIn_ = nullptr;
    if (h.keyUp && !key->isAutoRepeat()) {
        auto* box = qobject_cast<QLineEdit*>(w);
        const std::string text = box ? box->text().toStdString() : std::string();
        enqueue(
            [this, id, text, &h] { run([&](Session& s) { return h.keyUp(s, id.index(), text); }); },
            When::Now);
    }
    return false;
}

void Binder::enqueue(std::function<void()> step, When when) {
    queue_.push_back(std::move(step));
    if (when == When::Now) {
        drain();
    } else {
        QTimer::singleShot(0, this, &Binder::drain);
    }
}

void Binder::drain() {
    if (draining_) return;
    draining_ = true;
    while (!queue_.empty()) {
        const std::function<void()> step = std::move(queue_.front());
        queue_.pop_front();
        step();
    }
    draining_ = false;
}

void Binder::settle() {
    drain();
}

void Binder::refresh(const std::vector<ControlId>& changed) {
    const Session& s = app_.session();
    for (const ControlId id : changed) {
        syncListLength(id);
        for (const ControlSet* set : sets_)
            set->show(id, s.controls[id]);
    }
    if (const auto front = inFront(s)) {
        if (QWidget* w = widget(*front)) hideBeneath(*w);
    }
}

// What lies beneath the control in front is out of sight, and so out of the
// keyboard's and assistive technology's way too.
void Binder::hideBeneath(QWidget& front) const {
    front.raise();
    for (QWidget* other :
         front.parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (other != &front && other->geometry() == front.geometry() && idOf(other)) other->hide();
    }
}

void Binder::syncListLength(ControlId id) {
    const auto length = listLength(id, app_.session());
    auto* list = qobject_cast<QComboBox*>(widget(id));
    if (!length || !list) return;
    const auto* info = findControl(id.name(), id.index());
    const QSignalBlocker quiet(list);
    while (list->count() > *length)
        list->removeItem(list->count() - 1);
    while (info && list->count() < *length &&
           static_cast<std::size_t>(list->count()) < info->items.size())
        list->addItem(qText(info->items[static_cast<std::size_t>(list->count())]));
}

void Binder::moveFocus(ControlId id) {
    QWidget* w = widget(id);
    if (!w || w->hasFocus()) return;
    movingFocus_ = true;
    w->setFocus(Qt::OtherFocusReason);
    movingFocus_ = false;
}

}  // namespace kxp40s::ui
