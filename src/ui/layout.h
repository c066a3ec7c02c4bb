#pragma once

#include <QRect>
#include <optional>
#include <vector>

#include "image/control_catalogue.h"
#include "ui/widgets/artwork.h"

namespace kxp40s::ui {

using widgets::kTwipsPerPixel;

struct TwipRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    // In pixels, scaled by fx across and fy down.
    QRect pixels(double fx = 1.0, double fy = 1.0) const;
    TwipRect movedBy(int dx, int dy) const { return {left + dx, top + dy, width, height}; }
};

// Where a caption label stands: beside its control, in the control's own
// container, or (a column heading above an array's first row) in the
// container's container.
enum class CaptionIn { Container, OuterContainer };

// Where one control stands in its container (the catalogue names the
// container), and where the label with its catalogue caption stands for a
// box or list that has one.
struct Placement {
    ControlId id;
    TwipRect rect;
    std::optional<TwipRect> caption = {};
    CaptionIn captionIn = CaptionIn::Container;
    bool startsHidden = false;
};

// The inner size of each window at its design size.
TwipRect designSize(Window window);

// Every control placed on `window`, in the order the keyboard's Tab visits
// them: each frame in reading order (a capcode's box, its ON box and its
// function-bit button, then the next capcode's), and a page box before what
// stands on it. The catalogue gives the order in which they are made.
const std::vector<Placement>& layoutOf(Window window);
const Placement* findPlacement(Window window, ControlId id);

}  // namespace kxp40s::ui
