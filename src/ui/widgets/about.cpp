#include "ui/widgets/about.h"

#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>

#include "image/control_catalogue.h"
#include "ui/widgets/artwork.h"
#include "ui/widgets/close_box.h"
#include "ui/widgets/ncommand.h"

namespace kxp40s::ui {

using namespace widgets;

namespace {

// Design size and places, in twips.
constexpr int kWidth = 5850;
constexpr int kHeight = 3330;
constexpr int kBandHeight = 660;
constexpr int kTextLeft = 1470;

const QColor kBody(0xf4, 0xf6, 0xf9);

}  // namespace

AboutWindow::AboutWindow(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint),
      ok_(new Ncommand(captionOf(ControlId{"cmdOK"}), this)),
      close_(new CloseBox(this)) {
    setObjectName(QStringLiteral("frmAbout"));
    setModal(true);
    setFixedSize(pixelRect(0, 0, kWidth, kHeight).size());
    const LabelLook looks[] = {
        {"lblTitle", pixelRect(240, 90, 5100, 480), 11, true, Qt::white},
        {"lblVersion", pixelRect(kTextLeft, 840, 4200, 330), 10, true, kBodyText},
        {"lblUsedFor", pixelRect(kTextLeft, 1230, 4200, 300), 9, false, kBodyText},
        {"lblModel", pixelRect(kTextLeft, 1500, 4200, 300), 9, false, kBodyText},
        {"lblInfo", pixelRect(kTextLeft, 1920, 4170, 600), 8, false, kQuietText},
    };
    for (const LabelLook& look : looks)
        addLabel(this, look);
    ok_->setObjectName(QStringLiteral("cmdOK"));
    ok_->setGeometry(pixelRect(kWidth - 1500, kHeight - 630, 1260, 420));
    close_->setObjectName(QStringLiteral("CloseAbout"));
    close_->setAccessibleName(
        QString::fromStdString(kxp40s::accessibleName(controlInfo(ControlId{"CloseAbout"}))));
    close_->move(width() - close_->width() - pixelsOf(180),
                 (pixelsOf(kBandHeight) - close_->height()) / 2);
    connect(ok_, &Ncommand::clicked, this, &QDialog::accept);
    connect(close_, &CloseBox::clicked, this, &QDialog::reject);
}

void AboutWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), kWindowEdge);
    const QRect inside = rect().adjusted(1, 1, -1, -1);
    const int band = pixelsOf(kBandHeight);
    QLinearGradient gradient(0, inside.top(), 0, band);
    gradient.setColorAt(0, kBandTop);
    gradient.setColorAt(1, kBandBottom);
    p.fillRect(QRect(inside.left(), inside.top(), inside.width(), band - 1), gradient);
    p.fillRect(QRect(inside.left(), band, inside.width(), 2), kAccent);
    p.fillRect(QRect(inside.left(), band + 2, inside.width(), inside.bottom() - band - 1), kBody);
    drawPager(p, pixelRect(270, 870, 1020, 1200));
}

void AboutWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) return accept();
    QDialog::keyPressEvent(event);
}

void AboutWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && event->position().y() < pixelsOf(kBandHeight)) {
        dragFrom_ = event->position().toPoint();
    }
    QDialog::mousePressEvent(event);
}

void AboutWindow::mouseMoveEvent(QMouseEvent* event) {
    if (dragFrom_ && (event->buttons() & Qt::LeftButton))
        move(event->globalPosition().toPoint() - *dragFrom_);
    QDialog::mouseMoveEvent(event);
}

void AboutWindow::mouseReleaseEvent(QMouseEvent* event) {
    dragFrom_.reset();
    QDialog::mouseReleaseEvent(event);
}

}  // namespace kxp40s::ui
