#pragma once

#include <QColor>
#include <QString>
#include <QWidget>
#include <filesystem>
#include <map>
#include <string_view>
#include <vector>

#include "image/control_catalogue.h"
#include "image/controls.h"
#include "link/link_face.h"
#include "ui/layout.h"

namespace kxp40s::ui {

QString qText(std::string_view utf8);
// A path as Qt shows it, and back: the program's paths travel as UTF-8 on
// every system (files/system.h), and with the system's own separators
// (C:\Users\... on Windows, where Qt gives C:/Users/...).
QString qPath(const std::filesystem::path& path);
std::filesystem::path pathOf(const QString& text);
// A caption as a label shows it: "&&" stands for one "&". Buttons, check
// boxes and frames read "&&" themselves.
QString labelText(std::string_view caption);
// A menu's or menu item's caption as the menu shows it, its access key
// marked ("E&xit").
QString menuText(const ControlInfo& info);
// A colour number of the window (&HBBGGRR, or a system colour from
// &H80000000 on) as Qt's colour.
QColor colourOf(Colour colour, const QPalette& palette);

// Sets `w` in bold, `larger` pixels above the window's font (0: the size
// follows the window's font as it scales).
void emphasize(QWidget* w, int larger = 0);

// The widgets of one window, made from the catalogue and placed by the
// layout table under `root` (the window's inner area). Each widget is found
// by its ControlId; the labels that carry the captions of boxes and lists
// belong to no ControlId.
class ControlSet {
  public:
    ControlSet(Window window, QWidget* root);

    Window window() const { return window_; }
    QWidget* root() const { return root_; }
    QWidget* widget(ControlId id) const;
    // A control the window made itself (the tab strip's background).
    void adopt(ControlId id, QWidget* w);
    const std::map<ControlId, QWidget*>& widgets() const { return widgets_; }

    // Shows what the core keeps for the control; its signals stay quiet.
    void show(ControlId id, const ControlState& state) const;

    // Write mode: every box, list, check box, option and command button is
    // disabled (the tab buttons, the mode buttons and the slider are not);
    // Modify mode shows them as the core keeps them again.
    void setWriteMode(bool on, const Controls& controls);
    bool writeMode() const { return writeMode_; }

    // Places every widget for an inner area of `size`: positions and sizes
    // scale with it, lists keep their own height, fonts scale by the smaller
    // factor.
    void scaleTo(QSize size);
    double fontScale() const { return fontScale_; }

  private:
    struct Placed {
        QWidget* widget;
        TwipRect rect;
        bool keepsHeight;
    };
    void make(const ControlInfo& info, ControlId id, const Placement& placement);
    void orderFocus() const;
    QWidget* containerOf(const ControlInfo& info, ControlId id) const;
    void addCaption(const ControlInfo& info, const Placement& placement, QWidget* container);

    Window window_;
    QWidget* root_;
    std::map<ControlId, QWidget*> widgets_;
    std::map<ControlId, const ControlInfo*> infos_;
    std::vector<Placed> placed_;
    double fontScale_ = 1.0;
    bool writeMode_ = false;
};

// The pixel size of the window's font at its design size.
inline constexpr int kFontPixels = 11;

}  // namespace kxp40s::ui
