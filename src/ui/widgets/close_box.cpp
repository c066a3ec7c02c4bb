#include "ui/widgets/close_box.h"

#include <QPainter>

#include "ui/widgets/artwork.h"

namespace kxp40s::ui {

namespace {

const QColor kFace(0xc4, 0x3d, 0x32);
const QColor kHoverFace(0xdb, 0x4b, 0x3e);

}  // namespace

CloseBox::CloseBox(QWidget* parent) : QAbstractButton(parent) {
    setFixedSize(sizeHint());
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_Hover);
}

QSize CloseBox::sizeHint() const {
    return {widgets::pixelsOf(kWidthTwips), widgets::pixelsOf(kHeightTwips)};
}

void CloseBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const bool pressed = isDown();
    widgets::drawFace(p, rect(), underMouse() && !pressed ? kHoverFace : kFace, pressed, 3.0);
    // The cross sits a pixel lower and to the right while pressed, as if pushed in.
    const qreal shift = pressed ? 1.0 : 0.0;
    const QRectF cross =
        QRectF(rect()).adjusted(5.0 + shift, 5.5 + shift, -5.0 + shift, -5.5 + shift);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 1.8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(cross.topLeft(), cross.bottomRight());
    p.drawLine(cross.topRight(), cross.bottomLeft());
}

}  // namespace kxp40s::ui
