#include "ui/widgets/eb_slider.h"

#include <qdrawutil.h>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "ui/widgets/artwork.h"

namespace kxp40s::ui {

namespace {

constexpr int kBorderPixels = 2;  // the sunken frame of a BorderStyle other than 0
constexpr int kGroove = 4;        // pixels across the track
constexpr int kMostTicks = 20;    // steps up to which every one gets a tick

int clampToInt(double value, int low, int high) {
    return static_cast<int>(std::clamp(value, static_cast<double>(low), static_cast<double>(high)));
}

// What assistive technology sees of the slider: a slider with its value and
// range, whose value it can set or step as the keys do.
class AccessibleSlider : public QAccessibleWidget, public QAccessibleValueInterface {
  public:
    explicit AccessibleSlider(EBSlider* slider) : QAccessibleWidget(slider, QAccessible::Slider) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return QString::number(slider()->value());
        return QAccessibleWidget::text(t);
    }

    QVariant currentValue() const override { return slider()->value(); }
    void setCurrentValue(const QVariant& value) override {
        if (slider()->isEnabled()) slider()->setValue(value.toInt());
    }
    QVariant maximumValue() const override { return slider()->max(); }
    QVariant minimumValue() const override { return slider()->min(); }
    QVariant minimumStepSize() const override { return 1; }

    QStringList actionNames() const override {
        if (!slider()->isEnabled()) return {};
        return QStringList{increaseAction(), decreaseAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action == increaseAction()) return setCurrentValue(slider()->value() + 1);
        if (action == decreaseAction()) return setCurrentValue(slider()->value() - 1);
        QAccessibleWidget::doAction(action);
    }

  private:
    EBSlider* slider() const { return static_cast<EBSlider*>(widget()); }
};

QAccessibleInterface* accessibleSlider(const QString& className, QObject* object) {
    if (className != QLatin1String("kxp40s::ui::EBSlider")) return nullptr;
    return new AccessibleSlider(static_cast<EBSlider*>(object));
}

}  // namespace

void EBSlider::makeAccessible() {
    static const bool installed = [] {
        QAccessible::installFactory(accessibleSlider);
        return true;
    }();
    (void)installed;
}

EBSlider::EBSlider(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void EBSlider::setMin(int min) {
    if (min > max_) return;
    min_ = min;
    const bool moved = value_ < min;
    if (moved) value_ = min;
    reposition();
    if (moved) emit changed(value_);
}

void EBSlider::setMax(int max) {
    if (max <= min_) return;
    max_ = max;
    const bool moved = value_ > max;
    if (moved) value_ = max;
    reposition();
    if (moved) emit changed(value_);
}

void EBSlider::setValue(int value) {
    value_ = std::clamp(value, min_, max_);
    reposition();
    if (QAccessible::isActive()) {
        QAccessibleValueChangeEvent event(this, value_);
        QAccessible::updateAccessibility(&event);
    }
    emit changed(value_);
}

void EBSlider::setSliderWidth(int twips) {
    if (twips < 0) return;
    sliderWidth_ = twips;
    reposition();
}

QColor EBSlider::sliderColor() const {
    return sliderColor_.isValid() ? sliderColor_ : palette().color(QPalette::Button);
}

void EBSlider::setSliderColor(const QColor& colour) {
    sliderColor_ = colour;
    update();
}

void EBSlider::setOrientation(int orientation) {
    orientation_ = orientation;
    setSizePolicy(isVertical() ? QSizePolicy::Fixed : QSizePolicy::Expanding,
                  isVertical() ? QSizePolicy::Expanding : QSizePolicy::Fixed);
    updateGeometry();
    reposition();
}

void EBSlider::setBorderStyle(int style) {
    borderStyle_ = style;
    const int margin = style == kNoBorder ? 0 : kBorderPixels;
    setContentsMargins(margin, margin, margin, margin);
    reposition();
}

int EBSlider::trackLength() const {
    return isVertical() ? contentsRect().height() : contentsRect().width();
}

int EBSlider::thumbLength() const {
    return widgets::pixelsOf(sliderWidth_);
}

float EBSlider::twipsPerStep() const {
    const int room = trackLength() * widgets::kTwipsPerPixel - sliderWidth_;
    return static_cast<float>(room) / static_cast<float>(span());
}

void EBSlider::reposition() {
    if (max_ == min_) return;
    thumbOffset_ = twipsPerStep() * static_cast<float>(static_cast<double>(value_) - min_);
    update();
}

QRect EBSlider::thumbRect() const {
    const QRect track = contentsRect();
    const int room = std::max(trackLength() - thumbLength(), 0);
    const int offset =
        std::clamp(static_cast<int>(std::lround(thumbOffset_ / widgets::kTwipsPerPixel)), 0, room);
    if (isVertical()) return {track.left(), track.top() + offset, track.width(), thumbLength()};
    return {track.left() + offset, track.top(), thumbLength(), track.height()};
}

// The thumb lands centred under the pointer on a whole pixel (15 twips)
// within the track; the value is the step nearest to where it landed.
void EBSlider::placeThumbAt(QPoint pointer) {
    const int room = trackLength() - thumbLength();
    if (max_ == min_ || room <= 0) return;
    const float k = twipsPerStep();
    if (k <= 0.0f) return;
    const QRect track = contentsRect();
    const int along = isVertical() ? pointer.y() - track.top() : pointer.x() - track.left();
    const int pixel = std::clamp(along - thumbLength() / 2, 0, room);
    const float steps = static_cast<float>(pixel * widgets::kTwipsPerPixel) / k;
    setValue(clampToInt(static_cast<double>(min_) + std::round(steps), min_, max_));
}

void EBSlider::stepBy(double steps) {
    setValue(clampToInt(static_cast<double>(value_) + steps, min_, max_));
}

QSize EBSlider::sizeHint() const {
    const int frame = borderStyle_ == kNoBorder ? 0 : 2 * kBorderPixels;
    const QSize horizontal(std::max(150, 4 * thumbLength()) + frame, 24 + frame);
    return isVertical() ? horizontal.transposed() : horizontal;
}

void EBSlider::resizeEvent(QResizeEvent*) {
    reposition();
}

void EBSlider::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    placeThumbAt(event->position().toPoint());
}

void EBSlider::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton)) return QWidget::mouseMoveEvent(event);
    placeThumbAt(event->position().toPoint());
}

void EBSlider::keyPressEvent(QKeyEvent* event) {
    const double page = std::max(1.0, std::floor(span() / 10));
    switch (event->key()) {
        case Qt::Key_Left:
        case Qt::Key_Up:
            return stepBy(-1);
        case Qt::Key_Right:
        case Qt::Key_Down:
            return stepBy(1);
        case Qt::Key_PageUp:
            return stepBy(-page);
        case Qt::Key_PageDown:
            return stepBy(page);
        case Qt::Key_Home:
            return setValue(min_);
        case Qt::Key_End:
            return setValue(max_);
        default:
            return QWidget::keyPressEvent(event);
    }
}

void EBSlider::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (borderStyle_ != kNoBorder) {
        const QBrush inside = palette().brush(QPalette::Window);
        qDrawWinPanel(&p, rect(), palette(), true, &inside);
    }
    paintTrack(p);
    paintThumb(p);
}

// A groove along the path of the thumb's centre, filled up to the thumb, and
// a tick under each step when there are few.
void EBSlider::paintTrack(QPainter& p) const {
    const QRect track = contentsRect();
    const int half = thumbLength() / 2;
    const QRect thumb = thumbRect();
    QRectF groove;
    QRectF filled;
    if (isVertical()) {
        const qreal x = track.center().x() - kGroove / 2.0 + 0.5;
        groove = QRectF(x, track.top() + half, kGroove, track.height() - 2 * half);
        filled = QRectF(x, groove.top(), kGroove, thumb.center().y() - groove.top());
    } else {
        const qreal y = track.center().y() - kGroove / 2.0 + 0.5;
        groove = QRectF(track.left() + half, y, track.width() - 2 * half, kGroove);
        filled = QRectF(groove.left(), y, thumb.center().x() - groove.left(), kGroove);
    }
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(palette().color(QPalette::Dark), 1.0));
    p.setBrush(palette().color(QPalette::Midlight));
    p.drawRoundedRect(groove, 2, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(palette().color(QPalette::Highlight));
    p.drawRoundedRect(filled.adjusted(0.5, 0.5, -0.5, -0.5), 1.5, 1.5);
    if (span() > 0 && span() <= kMostTicks && twipsPerStep() > 0) {
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(palette().color(QPalette::Dark));
        const int steps = static_cast<int>(span());
        for (int step = 0; step <= steps; ++step) {
            const int at =
                half + static_cast<int>(std::lround(twipsPerStep() * static_cast<float>(step) /
                                                    widgets::kTwipsPerPixel));
            if (isVertical()) {
                const int x = track.right() - 3;
                p.drawLine(x, track.top() + at, x + 2, track.top() + at);
            } else {
                const int y = track.bottom() - 3;
                p.drawLine(track.left() + at, y, track.left() + at, y + 2);
            }
        }
    }
    p.restore();
}

// The thumb: a raised face in SliderColor with three grip lines across it,
// ringed in the highlight colour while the slider has the focus.
void EBSlider::paintThumb(QPainter& p) const {
    const QRect thumb = thumbRect();
    const QRect face = isVertical() ? thumb.adjusted(1, 0, -1, 0) : thumb.adjusted(0, 1, 0, -1);
    const QColor colour = sliderColor();
    widgets::drawFace(p, face, colour, false, 3.0);
    const QPoint centre = face.center();
    for (const int at : {-3, 0, 3}) {
        const QPoint from = isVertical() ? centre + QPoint(-5, at) : centre + QPoint(at, -5);
        const QPoint to = isVertical() ? centre + QPoint(5, at) : centre + QPoint(at, 5);
        const QPoint light = isVertical() ? QPoint(0, 1) : QPoint(1, 0);
        p.setPen(colour.darker(160));
        p.drawLine(from, to);
        p.setPen(colour.lighter(140));
        p.drawLine(from + light, to + light);
    }
    if (hasFocus()) {
        p.save();
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(palette().color(QPalette::Highlight), 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(face).adjusted(0.75, 0.75, -0.75, -0.75), 3, 3);
        p.restore();
    }
}

}  // namespace kxp40s::ui
