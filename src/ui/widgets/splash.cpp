#include "ui/widgets/splash.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>
#include <QTimer>

#include "ui/widgets/artwork.h"

namespace kxp40s::ui {

using namespace widgets;

namespace {

// Design size and places, in twips.
constexpr int kWidth = 6750;
constexpr int kHeight = 3600;
constexpr int kInset = 15;  // the background stands one pixel in from each edge
constexpr int kStripHeight = 570;

const QColor kStrip(0xe8, 0xed, 0xf3);

}  // namespace

SplashWindow::SplashWindow(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      showMainTimer_(new QTimer(this)),
      closeTimer_(new QTimer(this)) {
    setObjectName(QStringLiteral("frmSplash"));
    setFixedSize(pixelRect(0, 0, kWidth, kHeight).size());
    addLabel(this, {"lblProduct", pixelRect(420, 780, 6000, 600), 17, true, Qt::white});
    addLabel(this,
             {"lblNotice", pixelRect(420, kHeight - kStripHeight, 4800, kStripHeight - kInset), 9,
              false, kQuietText});
    for (QTimer* timer : {showMainTimer_, closeTimer_})
        timer->setSingleShot(true);
    showMainTimer_->setInterval(kShowMainAfter);
    closeTimer_->setInterval(kCloseAfter);
    connect(showMainTimer_, &QTimer::timeout, this, &SplashWindow::showMainOnce);
    connect(closeTimer_, &QTimer::timeout, this, &SplashWindow::unload);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect place = rect();
        place.moveCenter(screen->availableGeometry().center());
        move(place.topLeft());
    }
}

SplashWindow::~SplashWindow() {
    restoreCursor();
}

void SplashWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (started_) return;
    started_ = true;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    busyCursor_ = true;
    showMainTimer_->start();
    closeTimer_->start();
}

void SplashWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    restoreCursor();
}

void SplashWindow::showMainOnce() {
    showMainTimer_->stop();
    if (mainShown_) return;
    mainShown_ = true;
    emit showMainWindow();
}

void SplashWindow::unload() {
    showMainOnce();
    close();
}

void SplashWindow::restoreCursor() {
    if (!busyCursor_) return;
    busyCursor_ = false;
    QGuiApplication::restoreOverrideCursor();
}

void SplashWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), kWindowEdge);
    const int inset = pixelsOf(kInset);
    const QRect inside = rect().adjusted(inset, inset, -inset, -inset);
    const QRect sky = inside.adjusted(0, 0, 0, -pixelsOf(kStripHeight));
    QLinearGradient gradient(sky.topLeft(), sky.bottomRight());
    gradient.setColorAt(0, kBandTop);
    gradient.setColorAt(1, kBandBottom);
    p.fillRect(sky, gradient);
    p.fillRect(QRect(sky.left(), sky.bottom() + 1, sky.width(), 3), kAccent);
    p.fillRect(QRect(sky.left(), sky.bottom() + 4, sky.width(), inside.bottom() - sky.bottom() - 3),
               kStrip);
    p.fillRect(pixelRect(420, 1455, 2400, 45), kAccent);
    drawPager(p, pixelRect(4650, 1170, 1800, 1800));
}

}  // namespace kxp40s::ui
