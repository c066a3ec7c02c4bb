#pragma once

#include <QAbstractButton>

namespace kxp40s::ui {

// The program's close box `Close`, which stands in for the title bar's close
// button on windows drawn without one. Its size is fixed; a press released
// over it raises Click (clicked()), and the window that carries it closes on
// that. It never takes the focus, so that clicking it leaves a half-typed
// entry where it is.
class CloseBox : public QAbstractButton {
    Q_OBJECT

  public:
    static constexpr int kWidthTwips = 255;
    static constexpr int kHeightTwips = 270;

    explicit CloseBox(QWidget* parent = nullptr);

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace kxp40s::ui
