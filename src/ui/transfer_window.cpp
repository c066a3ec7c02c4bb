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

void TransferWindow::setProgressColour(long colour) {
    QPalette p = bar_->palette();
    p.setColor(QPalette::Highlight, colourOf(colour, palette()));
    bar_->setPalette(p);
}

void TransferWindow::setStatusText(const std::string& text) {
    ensureShown();
    status_->setText(qText(text));
}

void TransferWindow::runSeries(Application& app) {
    ensureShown();
    QEventLoop loop;
    inSeries_ = true;
    connect(this, &TransferWindow::seriesLeft, &loop, &QEventLoop::quit);
    auto* write = qobject_cast<QPushButton*>(widget({"cmdWrite"}));
    auto* exit = qobject_cast<QPushButton*>(widget({"cmdExit"}));
    const auto pressed =
        connect(write, &QPushButton::clicked, this, [this, &app] { writeNext(app); });
    const auto left = connect(exit, &QPushButton::clicked, this, &TransferWindow::reject);
    write->setDefault(true);
    write->setFocus();
    if (!leaveSoon_) loop.exec();
    disconnect(pressed);
    disconnect(left);
    inSeries_ = false;
}

void TransferWindow::writeNext(Application& app) {
    if (writing_) return;
    writing_ = true;
    app.cmdWrite_Click();
    writing_ = false;
    if (leaveSoon_) reject();
}

void TransferWindow::leaveSeriesSoon() {
    leaveSoon_ = true;
    reject();
}

// Escape, Exit and the close box leave a series between two pagers; a
// transfer under way runs to its end.
void TransferWindow::reject() {
    if (inSeries_ && !writing_) emit seriesLeft();
}

}  // namespace kxp40s::ui
