#include "ui/widgets/artwork.h"

#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

#include "image/control_catalogue.h"

namespace kxp40s::ui::widgets {

namespace {

// The pager is drawn on a grid of 100 x 120 units.
constexpr qreal kPagerWidth = 100.0;
constexpr qreal kPagerHeight = 120.0;

void drawWaves(QPainter& p) {
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kAccent, 4.0, Qt::SolidLine, Qt::RoundCap));
    const QPointF mast(80.0, 30.0);
    for (const qreal radius : {9.0, 17.0, 25.0}) {
        const QRectF arc(mast.x() - radius, mast.y() - radius, 2 * radius, 2 * radius);
        p.drawArc(arc, 15 * 16, 60 * 16);
    }
}

void drawDisplay(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1d, 0x21, 0x26));
    p.drawRoundedRect(QRectF(14, 40, 68, 38), 5, 5);
    QLinearGradient glass(0, 44, 0, 74);
    glass.setColorAt(0, QColor(0xc4, 0xdc, 0xa8));
    glass.setColorAt(1, QColor(0x92, 0xb3, 0x77));
    p.setBrush(glass);
    p.drawRoundedRect(QRectF(18, 44, 60, 30), 2, 2);
    // Three lines of a message on the display.
    p.setBrush(QColor(0x33, 0x44, 0x2a, 200));
    p.drawRect(QRectF(23, 49, 36, 4));
    p.drawRect(QRectF(23, 57, 48, 4));
    p.drawRect(QRectF(23, 65, 28, 4));
}

}  // namespace

const QColor kWindowEdge(0x0b, 0x17, 0x24);
const QColor kBandTop(0x1e, 0x45, 0x70);
const QColor kBandBottom(0x0e, 0x22, 0x38);
const QColor kAccent(0xf2, 0xb1, 0x34);
const QColor kBodyText(0x1d, 0x26, 0x31);
const QColor kQuietText(0x5a, 0x66, 0x74);

QRect pixelRect(int left, int top, int width, int height) {
    return {pixelsOf(left), pixelsOf(top), pixelsOf(width), pixelsOf(height)};
}

QString captionOf(ControlId id) {
    const std::string& caption = controlInfo(id).caption;
    return QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size()))
        .replace(QStringLiteral("&&"), QStringLiteral("&"));
}

QLabel* addLabel(QWidget* parent, const LabelLook& look) {
    auto* label = new QLabel(captionOf(ControlId{look.name}), parent);
    label->setObjectName(QString::fromLatin1(look.name));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QFont font = label->font();
    font.setPointSize(look.pointSize);
    font.setBold(look.bold);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, look.colour);
    label->setPalette(palette);
    label->setGeometry(look.place);
    return label;
}

void drawFace(QPainter& p, const QRectF& r, const QColor& base, bool pressed, qreal radius) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF body = r.adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient fill(body.topLeft(), body.bottomLeft());
    if (pressed) {
        fill.setColorAt(0, base.darker(125));
        fill.setColorAt(1, base.lighter(104));
    } else {
        fill.setColorAt(0, base.lighter(138));
        fill.setColorAt(0.45, base.lighter(110));
        fill.setColorAt(1, base.darker(115));
    }
    p.setPen(QPen(base.darker(pressed ? 200 : 170), 1.0));
    p.setBrush(fill);
    p.drawRoundedRect(body, radius, radius);
    // Light along the upper edge of a raised face; a shadow inside a pressed one.
    QLinearGradient edge(body.topLeft(), body.bottomLeft());
    edge.setColorAt(0, pressed ? QColor(0, 0, 0, 90) : QColor(255, 255, 255, 140));
    edge.setColorAt(0.5, Qt::transparent);
    p.setPen(QPen(QBrush(edge), 1.0));
    p.setBrush(Qt::NoBrush);
    const qreal inner = std::max<qreal>(radius - 1.0, 0.0);
    p.drawRoundedRect(body.adjusted(1, 1, -1, -1), inner, inner);
    p.restore();
}

void drawPager(QPainter& p, const QRectF& r) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal scale = std::min(r.width() / kPagerWidth, r.height() / kPagerHeight);
    p.translate(r.center().x() - scale * kPagerWidth / 2,
                r.center().y() - scale * kPagerHeight / 2);
    p.scale(scale, scale);
    drawWaves(p);
    QLinearGradient shell(0, 30, 0, 116);
    shell.setColorAt(0, QColor(0x6a, 0x74, 0x81));
    shell.setColorAt(1, QColor(0x2c, 0x31, 0x38));
    p.setPen(QPen(QColor(0x16, 0x19, 0x1d), 1.5));
    p.setBrush(shell);
    p.drawRoundedRect(QRectF(6, 30, 84, 86), 13, 13);
    drawDisplay(p);
    for (const qreal left : {17.0, 39.0, 61.0})
        drawFace(p, QRectF(left, 86, 18, 11), QColor(0x8f, 0x99, 0xa6), false, 3.0);
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawRoundedRect(QRectF(30, 104, 36, 3), 1.5, 1.5);
    p.restore();
}

}  // namespace kxp40s::ui::widgets
