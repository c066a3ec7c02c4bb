#pragma once

// A user at the test's display: finds a window by its title, gives it the
// focus, presses keys through the XTest extension as a keyboard would, and
// drops a file on a window as a file manager does (the source side of the
// XDND protocol, the file offered as text/uri-list).

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace kxp40s::e2e {

class DisplayUser {
  public:
    using Clock = std::chrono::steady_clock;

    explicit DisplayUser(const std::string& display) : dpy_(XOpenDisplay(display.c_str())) {}
    ~DisplayUser() {
        if (dpy_) XCloseDisplay(dpy_);
    }
    DisplayUser(const DisplayUser&) = delete;
    DisplayUser& operator=(const DisplayUser&) = delete;

    bool connected() const { return dpy_ != nullptr; }

    // The shown top-level window whose title begins with `title`.
    std::optional<::Window> findWindow(const std::string& title, std::chrono::milliseconds wait) {
        const auto until = Clock::now() + wait;
        do {
            if (const auto found = shownWindowTitled(title)) return found;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        } while (Clock::now() < until);
        return std::nullopt;
    }

    void focus(::Window window) {
        XSetInputFocus(dpy_, window, RevertToParent, CurrentTime);
        XFlush(dpy_);
    }

    // `key` with `modifiers` held, as one press and release.
    void press(KeySym key, const std::vector<KeySym>& modifiers = {}) {
        for (const KeySym modifier : modifiers)
            fakeKey(modifier, true);
        fakeKey(key, true);
        fakeKey(key, false);
        for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it)
            fakeKey(*it, false);
        XFlush(dpy_);
    }

    // Drags `path` over the middle of `target` and drops it there; true when
    // the target took it and said it had finished with it.
    bool dropFile(::Window target, const std::string& path, std::chrono::milliseconds wait) {
        const ::Window root = DefaultRootWindow(dpy_);
        const ::Window source = XCreateSimpleWindow(dpy_, root, 0, 0, 1, 1, 0, 0, 0);
        XSetSelectionOwner(dpy_, atom("XdndSelection"), source, CurrentTime);
        XWindowAttributes shape{};
        XGetWindowAttributes(dpy_, target, &shape);
        int x = 0;
        int y = 0;
        ::Window child = 0;
        XTranslateCoordinates(dpy_, target, root, shape.width / 2, shape.height / 2, &x, &y,
                              &child);
        const long uriList = static_cast<long>(atom("text/uri-list"));
        send(target, "XdndEnter", {static_cast<long>(source), 5L << 24, uriList, 0, 0});
        send(target, "XdndPosition",
             {static_cast<long>(source), 0, (static_cast<long>(x) << 16) | y, CurrentTime,
              static_cast<long>(atom("XdndActionCopy"))});
        const bool taken = answerDrop(source, target, "file://" + path + "\r\n", wait);
        XDestroyWindow(dpy_, source);
        XFlush(dpy_);
        return taken;
    }

  private:
    Atom atom(const char* name) { return XInternAtom(dpy_, name, False); }

    void fakeKey(KeySym key, bool down) {
        XTestFakeKeyEvent(dpy_, XKeysymToKeycode(dpy_, key), down ? True : False, CurrentTime);
    }

    void send(::Window target, const char* type, const std::vector<long>& data) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = target;
        event.xclient.message_type = atom(type);
        event.xclient.format = 32;
        for (std::size_t i = 0; i < data.size() && i < 5; ++i)
            event.xclient.data.l[i] = data[i];
        XSendEvent(dpy_, target, False, NoEventMask, &event);
        XFlush(dpy_);
    }

    // The target's answers: its status (drop when accepted, leave when
    // not), its request for the data, and its word that it has finished.
    bool answerDrop(::Window source, ::Window target, const std::string& uris,
                    std::chrono::milliseconds wait) {
        const auto until = Clock::now() + wait;
        bool accepted = false;
        while (Clock::now() < until) {
            if (!XPending(dpy_)) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
                continue;
            }
            XEvent event{};
            XNextEvent(dpy_, &event);
            if (event.type == SelectionRequest) {
                giveData(event.xselectionrequest, uris);
            } else if (event.type == ClientMessage &&
                       event.xclient.message_type == atom("XdndStatus")) {
                accepted = (event.xclient.data.l[1] & 1) != 0;
                send(target, accepted ? "XdndDrop" : "XdndLeave",
                     {static_cast<long>(source), 0, CurrentTime, 0, 0});
                if (!accepted) return false;
            } else if (event.type == ClientMessage &&
                       event.xclient.message_type == atom("XdndFinished")) {
                return accepted;
            }
        }
        return false;
    }

    void giveData(const XSelectionRequestEvent& request, const std::string& uris) {
        XEvent reply{};
        reply.xselection.type = SelectionNotify;
        reply.xselection.requestor = request.requestor;
        reply.xselection.selection = request.selection;
        reply.xselection.target = request.target;
        reply.xselection.time = request.time;
        reply.xselection.property = None;
        if (request.target == atom("text/uri-list")) {
            XChangeProperty(dpy_, request.requestor, request.property, request.target, 8,
                            PropModeReplace, reinterpret_cast<const unsigned char*>(uris.data()),
                            static_cast<int>(uris.size()));
            reply.xselection.property = request.property;
        }
        XSendEvent(dpy_, request.requestor, False, NoEventMask, &reply);
        XFlush(dpy_);
    }

    std::optional<::Window> shownWindowTitled(const std::string& title) {
        ::Window root = 0;
        ::Window parent = 0;
        ::Window* children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(dpy_, DefaultRootWindow(dpy_), &root, &parent, &children, &count))
            return std::nullopt;
        std::optional<::Window> found;
        for (unsigned int i = 0; i < count && !found; ++i) {
            XWindowAttributes attributes{};
            if (!XGetWindowAttributes(dpy_, children[i], &attributes) ||
                attributes.map_state != IsViewable)
                continue;
            char* name = nullptr;
            if (XFetchName(dpy_, children[i], &name) && name) {
                if (std::string(name).starts_with(title)) found = children[i];
                XFree(name);
            }
        }
        if (children) XFree(children);
        return found;
    }

    Display* dpy_;
};

}  // namespace kxp40s::e2e
