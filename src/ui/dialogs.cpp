#include "ui/dialogs.h"

#include <QAbstractButton>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>

namespace kxp40s::ui {

FormDialog::FormDialog(Window window, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setWindowModality(Qt::ApplicationModal);
    setObjectName(qText(windowName(window)));
    controls_ = std::make_unique<ControlSet>(window, this);
    setFixedSize(designSize(window).pixels().size());
    for (const ControlInfo* info : windowControls(window)) {
        if (info->kind == ControlKind::Form) addTitle(*info);
        if (info->kind == ControlKind::CloseBox && !closeBox_)
            closeBox_ = qobject_cast<QAbstractButton*>(controls_->widget(info->ids().front()));
    }
    if (closeBox_) connect(closeBox_, &QAbstractButton::clicked, this, &QDialog::reject);
}

void FormDialog::addTitle(const ControlInfo& form) {
    if (form.caption.empty()) return;
    setWindowTitle(labelText(form.caption));
    auto* title = new QLabel(labelText(form.caption), this);
    emphasize(title);
    title->setGeometry(TwipRect{120, 60, width() * kTwipsPerPixel - 600, 300}.pixels());
    title->lower();
}

void FormDialog::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

// Without a window manager nobody gives the focus back to the window
// beneath when this one goes.
void FormDialog::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    if (QWidget* owner = parentWidget()) owner->window()->activateWindow();
}

void FormDialog::mousePressEvent(QMouseEvent* event) {
    dragFrom_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
    QDialog::mousePressEvent(event);
}

void FormDialog::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton) move(event->globalPosition().toPoint() - dragFrom_);
    QDialog::mouseMoveEvent(event);
}

void closeOnOk(FormDialog& dialog) {
    if (auto* ok = qobject_cast<QPushButton*>(dialog.widget({"Command1"}))) {
        ok->setDefault(true);
        QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    }
}

}  // namespace kxp40s::ui
