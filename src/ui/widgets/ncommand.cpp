#include "ui/widgets/ncommand.h"

#include <QPainter>
#include <cmath>

#include "ui/widgets/artwork.h"

namespace kxp40s::ui {

namespace {

// The faces: a steel-blue button that lightens when pressed, so that the
// default captions (white up, black down) read on both.
const QColor kUpFace(0x3b, 0x62, 0x8f);
const QColor kDownFace(0xd3, 0xde, 0xeb);
const QColor kDisabledFace(0x5e, 0x64, 0x6c);
const QColor kFocusRing(0xf2, 0xb1, 0x34);

constexpr int kTextFlags = Qt::TextShowMnemonic | Qt::TextSingleLine;

// Half the free room before the caption, rounded half up and then towards
// zero, as the caption's place has always been worked out.
int centredOffset(int room, int extent) {
    return static_cast<int>(std::trunc((room - extent) / 2.0 + 0.5));
}

}  // namespace

const QColor Ncommand::kDisabledCaption(0xc0, 0xc0, 0xc0);

Ncommand::Ncommand(QWidget* parent) : Ncommand(QStringLiteral("Ncommand"), parent) {}

Ncommand::Ncommand(const QString& caption, QWidget* parent) : QAbstractButton(parent) {
    setText(caption);
    setAttribute(Qt::WA_Hover);
}

void Ncommand::setDnColor(const QColor& colour) {
    dnColor_ = colour;
    update();
}

void Ncommand::setUpColor(const QColor& colour) {
    upColor_ = colour;
    update();
}

QColor Ncommand::captionColor() const {
    if (!isEnabled()) return kDisabledCaption;
    return isDown() ? dnColor_ : upColor_;
}

QRect Ncommand::captionRect() const {
    const QSize extent = fontMetrics().size(kTextFlags, text());
    return {centredOffset(width(), extent.width()), centredOffset(height(), extent.height()),
            extent.width(), extent.height()};
}

QSize Ncommand::sizeHint() const {
    const QSize extent = fontMetrics().size(kTextFlags, text());
    return QSize(extent.width() + 24, extent.height() + 10).expandedTo(minimumSizeHint());
}

QSize Ncommand::minimumSizeHint() const {
    return {40, fontMetrics().height() + 6};
}

void Ncommand::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QColor face = !isEnabled() ? kDisabledFace : isDown() ? kDownFace : kUpFace;
    widgets::drawFace(p, rect(), face, isDown());
    if (isEnabled() && !isDown() && underMouse()) {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 28));
        p.drawRoundedRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5), 2, 2);
    }
    p.setPen(captionColor());
    p.drawText(captionRect(), kTextFlags, text());
    if (hasFocus()) {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(kFocusRing, 1.0));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5), 2, 2);
    }
}

}  // namespace kxp40s::ui
