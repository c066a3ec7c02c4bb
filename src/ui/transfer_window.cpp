#include "ui/transfer_window.h"

#include <QEventLoop>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace kxp40s::ui {

TransferWindow::TransferWindow(QWidget* parent) : FormDialog(Window::Form2, parent) {
    bar_ = qobject_cast<QProgressBar*>(widget({"PB1"}));
    status_ = qobject_cast<QLabel*>(widget({"Label1"}));
    emphasize(widget({"Label2"}), 3);
    if (auto* background = widget({"BackgroundPicture"})) {
        QPalette p = background->palette();
        QLinearGradient shade(0, 0, 0, height());
        shade.setColorAt(0, p.color(QPalette::Base));
        shade.setColorAt(1, p.color(QPalette::Window));
        p.setBrush(QPalette::Window, shade);
        background->setPalette(p);
        background->setAutoFillBackground(true);
        background->lower();
    }
    for (const char* hidden : {"lblAuto1", "lblAuto2", "cmdWrite", "cmdExit"}) {
        if (QWidget* w = widget({hidden})) w->hide();
    }
}

void TransferWindow::open() {
    open_ = true;
    bar_->setRange(0, 100);
    bar_->setValue(0);
    status_->clear();
}

void TransferWindow::ensureShown() {
    if (!open_ || isVisible()) return;
    show();
    raise();
    activateWindow();
}

void TransferWindow::finish() {
    open_ = false;
    hide();
}

void TransferWindow::setProgressMaximum(int maximum) {
    ensureShown();
    bar_->setMaximum(std::max(maximum, 1));
}

void TransferWindow::setProgressValue(int value) {
    ensureShown();
    bar_->setValue(std::clamp(value, bar_->minimum(), bar_->maximum()));
}

void TransferWindow::setProgressColour(Colour colour) {
    QPalette p = bar_->palette();
    p.setColor(QPalette::Highlight, colourOf(colour, palette()));
    bar_->setPalette(p);
}

void TransferWindow::setStatusText(const std::string& text) {
    ensureShown();
    status_->setText(qText(text));
}

NextPager TransferWindow::waitForPager() {
    ensureShown();
    auto* write = qobject_cast<QPushButton*>(widget({"cmdWrite"}));
    auto* exit = qobject_cast<QPushButton*>(widget({"cmdExit"}));
    QEventLoop loop;
    NextPager next = NextPager::Leave;
    connect(write, &QPushButton::clicked, &loop, [&] {
        next = NextPager::Write;
        loop.quit();
    });
    connect(exit, &QPushButton::clicked, this, &TransferWindow::reject);
    connect(this, &TransferWindow::left, &loop, &QEventLoop::quit);
    write->setDefault(true);
    write->setFocus();
    waiting_ = true;
    loop.exec();
    waiting_ = false;
    disconnect(exit, nullptr, this, nullptr);
    return next;
}

// Escape, Exit and the close box leave a series between two pagers; a
// transfer under way runs to its end.
void TransferWindow::reject() {
    if (waiting_) emit left();
}

}  // namespace kxp40s::ui
