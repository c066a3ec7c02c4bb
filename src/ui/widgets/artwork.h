#pragma once

#include <QColor>
#include <QRect>
#include <QRectF>
#include <QString>

#include "image/control_id.h"

class QLabel;
class QPainter;
class QWidget;

// What the custom controls and the small windows share: their measure, their
// texts from the catalogue and the pictures the program draws for them.
namespace kxp40s::ui::widgets {

// The windows are designed in twips; at 96 dpi a pixel is 15 twips.
inline constexpr int kTwipsPerPixel = 15;

constexpr int pixelsOf(int twips) {
    return twips / kTwipsPerPixel;
}

// A place given in twips, in pixels.
QRect pixelRect(int left, int top, int width, int height);

// The colours of the small windows: a dark edge, a blue band under the
// product's name, an amber accent line, and dark text on a light body.
extern const QColor kWindowEdge;
extern const QColor kBandTop;
extern const QColor kBandBottom;
extern const QColor kAccent;
extern const QColor kBodyText;
extern const QColor kQuietText;

// The catalogue's caption of `id` as a label shows it ("&&" is one "&").
QString captionOf(ControlId id);

// A label of a small window: the catalogue's control `name` with its
// caption, placed at `place` (pixels) in its own size, weight and colour.
struct LabelLook {
    const char* name;
    QRect place;
    int pointSize;
    bool bold;
    QColor colour;
};
QLabel* addLabel(QWidget* parent, const LabelLook& look);

// A bevelled button face filling `r`: raised, lit from above, or pressed in.
void drawFace(QPainter& p, const QRectF& r, const QColor& base, bool pressed, qreal radius = 3.0);

// A pager seen from the front (a body with its display and keys) with the
// radio waves it receives, scaled into `r`.
void drawPager(QPainter& p, const QRectF& r);

}  // namespace kxp40s::ui::widgets
