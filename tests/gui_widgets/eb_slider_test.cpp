#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <functional>

#include "ui/widgets/eb_slider.h"

using kxp40s::ui::EBSlider;

using SliderAct = std::function<void(EBSlider&)>;
Q_DECLARE_METATYPE(SliderAct)

namespace {

// A move with the left button held, as a drag sends it.
void dragTo(EBSlider& slider, QPoint at) {
    QMouseEvent move(QEvent::MouseMove, at, slider.mapToGlobal(at), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(&slider, &move);
}

QList<int> changes(const QSignalSpy& spy) {
    QList<int> values;
    for (const QList<QVariant>& call : spy)
        values.append(call.at(0).toInt());
    return values;
}

// 200 pixels are 3000 twips: with the thumb's 315 twips and Min 0, Max 100
// a step is 26.85 twips.
constexpr int kTrackPixels = 200;

}  // namespace

class EBSliderTest : public QObject {
    Q_OBJECT

  private slots:
    void startsAtItsDefaults() {
        const EBSlider slider;
        QCOMPARE(slider.min(), 0);
        QCOMPARE(slider.max(), 100);
        QCOMPARE(slider.value(), 50);
        QCOMPARE(slider.sliderWidth(), 315);
        QCOMPARE(slider.orientation(), EBSlider::kHorizontal);
        QCOMPARE(slider.borderStyle(), EBSlider::kNoBorder);
        QCOMPARE(slider.sliderColor(), slider.palette().color(QPalette::Button));
    }

    // Each row starts from Min 0, Max 100, Value 50.
    void keepsMinValueAndMaxInOrder_data() {
        QTest::addColumn<SliderAct>("act");
        QTest::addColumn<int>("min");
        QTest::addColumn<int>("max");
        QTest::addColumn<int>("value");
        QTest::addColumn<QList<int>>("changed");
        QTest::newRow("Max equal to Min is ignored")
            << SliderAct([](EBSlider& s) { s.setMax(0); }) << 0 << 100 << 50 << QList<int>{};
        QTest::newRow("Max below Min is ignored")
            << SliderAct([](EBSlider& s) { s.setMax(-5); }) << 0 << 100 << 50 << QList<int>{};
        QTest::newRow("Min above Max is ignored")
            << SliderAct([](EBSlider& s) { s.setMin(101); }) << 0 << 100 << 50 << QList<int>{};
        QTest::newRow("Min equal to Max is taken") << SliderAct([](EBSlider& s) { s.setMin(100); })
                                                   << 100 << 100 << 100 << QList<int>{100};
        QTest::newRow("Value below Min stores Min and raises Changed")
            << SliderAct([](EBSlider& s) { s.setValue(-7); }) << 0 << 100 << 0 << QList<int>{0};
        QTest::newRow("Value above Max stores Max")
            << SliderAct([](EBSlider& s) { s.setValue(500); }) << 0 << 100 << 100
            << QList<int>{100};
        QTest::newRow("every Value set raises Changed, the same value too")
            << SliderAct([](EBSlider& s) {
                   s.setValue(50);
                   s.setValue(50);
               })
            << 0 << 100 << 50 << QList<int>{50, 50};
        QTest::newRow("Max below Value moves Value")
            << SliderAct([](EBSlider& s) { s.setMax(30); }) << 0 << 30 << 30 << QList<int>{30};
        QTest::newRow("Min above Value moves Value")
            << SliderAct([](EBSlider& s) { s.setMin(60); }) << 60 << 100 << 60 << QList<int>{60};
        QTest::newRow("Min and Max around Value leave it") << SliderAct([](EBSlider& s) {
            s.setMin(10);
            s.setMax(90);
        }) << 10 << 90 << 50 << QList<int>{};
        QTest::newRow("the contrast's range from a new slider") << SliderAct([](EBSlider& s) {
            s.setMax(8);
            s.setMin(1);
            s.setValue(0);
        }) << 1 << 8 << 1 << QList<int>{8, 1};
        QTest::newRow("the whole 32-bit range") << SliderAct([](EBSlider& s) {
            s.setMin(INT_MIN);
            s.setMax(INT_MAX);
            s.setValue(INT_MAX);
        }) << INT_MIN << INT_MAX << INT_MAX << QList<int>{INT_MAX};
    }
    void keepsMinValueAndMaxInOrder() {
        QFETCH(SliderAct, act);
        QFETCH(int, min);
        QFETCH(int, max);
        QFETCH(int, value);
        QFETCH(QList<int>, changed);
        EBSlider slider;
        slider.resize(kTrackPixels, 24);
        QSignalSpy spy(&slider, &EBSlider::changed);
        act(slider);
        QCOMPARE(slider.min(), min);
        QCOMPARE(slider.max(), max);
        QCOMPARE(slider.value(), value);
        QCOMPARE(changes(spy), changed);
        QVERIFY(slider.thumbRect().left() >= 0);
        QVERIFY(slider.thumbRect().right() < kTrackPixels);
    }

    // k = (track - SliderWidth) / (Max - Min) twips a step, the thumb k × (Value - Min)
    // from the start; the track is the height of a vertical slider and lies
    // inside the frame of a bordered one.
    void placesTheThumbAtKStepsPerValue_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("orientation");
        QTest::addColumn<int>("border");
        QTest::addColumn<int>("min");
        QTest::addColumn<int>("max");
        QTest::addColumn<int>("value");
        QTest::addColumn<float>("offset");
        QTest::addColumn<QPoint>("thumb");
        QTest::newRow("at Min") << QSize(200, 24) << 0 << 0 << 0 << 100 << 0 << 0.0f
                                << QPoint(0, 0);
        QTest::newRow("halfway") << QSize(200, 24) << 0 << 0 << 0 << 100 << 50 << 1342.5f
                                 << QPoint(90, 0);
        QTest::newRow("at Max") << QSize(200, 24) << 0 << 0 << 0 << 100 << 100 << 2685.0f
                                << QPoint(179, 0);
        QTest::newRow("contrast 4 of 1 to 8")
            << QSize(200, 24) << 0 << 0 << 1 << 8 << 4 << 1150.7142f << QPoint(77, 0);
        QTest::newRow("vertical") << QSize(24, 150) << 1 << 0 << 0 << 10 << 3 << 580.5f
                                  << QPoint(0, 39);
        QTest::newRow("bordered") << QSize(204, 28) << 0 << 1 << 0 << 100 << 50 << 1342.5f
                                  << QPoint(92, 2);
    }
    void placesTheThumbAtKStepsPerValue() {
        QFETCH(QSize, size);
        QFETCH(int, orientation);
        QFETCH(int, border);
        QFETCH(int, min);
        QFETCH(int, max);
        QFETCH(int, value);
        QFETCH(float, offset);
        QFETCH(QPoint, thumb);
        EBSlider slider;
        slider.setOrientation(orientation);
        slider.setBorderStyle(border);
        slider.resize(size);
        slider.setMax(max);
        slider.setMin(min);
        slider.setValue(value);
        QCOMPARE(slider.thumbOffset(), offset);
        QCOMPARE(slider.thumbRect().topLeft(), thumb);
        QCOMPARE(orientation ? slider.thumbRect().height() : slider.thumbRect().width(), 21);
    }

    void leavesTheThumbWhereItWasWhenMinReachesMax() {
        EBSlider slider;
        slider.resize(kTrackPixels, 24);
        const float before = slider.thumbOffset();
        slider.setMin(100);
        QCOMPARE(slider.value(), 100);
        QCOMPARE(slider.thumbOffset(), before);
    }

    // The thumb lands centred under the pointer and kept within the track;
    // Value is the step nearest to where it lands.
    void setsValueWhereTheMouseIsPressed_data() {
        QTest::addColumn<int>("min");
        QTest::addColumn<int>("max");
        QTest::addColumn<int>("orientation");
        QTest::addColumn<QPoint>("press");
        QTest::addColumn<int>("value");
        QTest::newRow("middle") << 0 << 100 << 0 << QPoint(100, 12) << 50;
        QTest::newRow("before the track's start") << 0 << 100 << 0 << QPoint(3, 12) << 0;
        QTest::newRow("beyond the track's end") << 0 << 100 << 0 << QPoint(199, 12) << 100;
        QTest::newRow("contrast, just below a step") << 1 << 8 << 0 << QPoint(48, 12) << 2;
        QTest::newRow("contrast, just above a step") << 1 << 8 << 0 << QPoint(62, 12) << 3;
        QTest::newRow("vertical, by the height") << 0 << 10 << 1 << QPoint(12, 50) << 3;
    }
    void setsValueWhereTheMouseIsPressed() {
        QFETCH(int, min);
        QFETCH(int, max);
        QFETCH(int, orientation);
        QFETCH(QPoint, press);
        QFETCH(int, value);
        EBSlider slider;
        slider.setOrientation(orientation);
        slider.resize(orientation ? QSize(24, 150) : QSize(kTrackPixels, 24));
        slider.setMax(max);
        slider.setMin(min);
        QSignalSpy spy(&slider, &EBSlider::changed);
        QTest::mousePress(&slider, Qt::LeftButton, {}, press);
        QCOMPARE(slider.value(), value);
        QCOMPARE(changes(spy), QList<int>{value});
    }

    void followsADragWithTheLeftButtonOnly() {
        EBSlider slider;
        slider.resize(kTrackPixels, 24);
        QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(20, 12));
        const int pressed = slider.value();
        dragTo(slider, QPoint(150, 12));
        QVERIFY(slider.value() > pressed);
        QVERIFY(slider.thumbRect().contains(QPoint(150, 12)));
        QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(150, 12));
        const int released = slider.value();
        QTest::mouseMove(&slider, QPoint(30, 12));
        QCOMPARE(slider.value(), released);
        QTest::mouseClick(&slider, Qt::RightButton, {}, QPoint(30, 12));
        QCOMPARE(slider.value(), released);
    }

    void movesByKey() {
        EBSlider slider;
        slider.resize(kTrackPixels, 24);
        QSignalSpy spy(&slider, &EBSlider::changed);
        for (const Qt::Key key : {Qt::Key_End, Qt::Key_Left, Qt::Key_PageUp, Qt::Key_Home,
                                  Qt::Key_Right, Qt::Key_PageDown, Qt::Key_Up, Qt::Key_Down})
            QTest::keyClick(&slider, key);
        QCOMPARE(changes(spy), (QList<int>{100, 99, 89, 0, 1, 11, 10, 11}));
    }
};

QTEST_MAIN(EBSliderTest)
#include "eb_slider_test.moc"
