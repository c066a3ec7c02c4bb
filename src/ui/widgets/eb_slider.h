#pragma once

#include <QColor>
#include <QWidget>

namespace kxp40s::ui {

// The program's slider `ctlEBSlider`: a thumb on a track between Min and Max.
// Min <= Value <= Max always holds: a Max at or below Min and a Min above
// Max are ignored, and a Value outside the range is taken as the nearer end.
// (A Min equal to Max is taken; the thumb then stays where it is.) Every Value set raises Changed
// (changed()), even an unchanged one; a Min or Max that moves Value raises it too, so that whatever
// shows the value never shows a stale one.
//
// The thumb is SliderWidth twips long. Its place along the track is
// k × (Value − Min) twips with k = (track length − SliderWidth) / (Max − Min)
// in single precision. A press or a drag with the left button puts the
// thumb under the pointer and sets Value from where it lands; the arrow
// keys, Page Up/Down, Home and End move it too.
class EBSlider : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int Min READ min WRITE setMin)
    Q_PROPERTY(int Max READ max WRITE setMax)
    Q_PROPERTY(int Value READ value WRITE setValue NOTIFY changed)
    Q_PROPERTY(int SliderWidth READ sliderWidth WRITE setSliderWidth)
    Q_PROPERTY(QColor SliderColor READ sliderColor WRITE setSliderColor)
    Q_PROPERTY(int Orientation READ orientation WRITE setOrientation)
    Q_PROPERTY(int BorderStyle READ borderStyle WRITE setBorderStyle)

  public:
    static constexpr int kHorizontal = 0;  // any other Orientation is vertical
    static constexpr int kNoBorder = 0;    // any other BorderStyle draws a sunken frame

    explicit EBSlider(QWidget* parent = nullptr);

    // Lets assistive technology read and set sliders as a slider's value
    // (once for the program, before the first slider is asked about).
    static void makeAccessible();

    int min() const { return min_; }
    void setMin(int min);
    int max() const { return max_; }
    void setMax(int max);
    int value() const { return value_; }
    void setValue(int value);

    int sliderWidth() const { return sliderWidth_; }
    void setSliderWidth(int twips);
    // The thumb's colour; the palette's button face until one is set.
    QColor sliderColor() const;
    void setSliderColor(const QColor& colour);
    int orientation() const { return orientation_; }
    void setOrientation(int orientation);
    bool isVertical() const { return orientation_ != kHorizontal; }
    int borderStyle() const { return borderStyle_; }
    void setBorderStyle(int style);

    // The thumb's distance from the start of the track, in twips, as last
    // worked out from Value.
    float thumbOffset() const { return thumbOffset_; }
    // The thumb as it is drawn, in pixels.
    QRect thumbRect() const;

    QSize sizeHint() const override;

  signals:
    void changed(int value);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    double span() const { return static_cast<double>(max_) - min_; }
    int trackLength() const;  // pixels along the track
    int thumbLength() const;  // pixels
    float twipsPerStep() const;
    void reposition();
    void placeThumbAt(QPoint pointer);
    void stepBy(double steps);
    void paintTrack(QPainter& p) const;
    void paintThumb(QPainter& p) const;

    int min_ = 0;
    int max_ = 100;
    int value_ = 50;
    int sliderWidth_ = 315;
    QColor sliderColor_;  // invalid: the palette's button face
    int orientation_ = kHorizontal;
    int borderStyle_ = kNoBorder;
    float thumbOffset_ = 0.0f;
};

}  // namespace kxp40s::ui
