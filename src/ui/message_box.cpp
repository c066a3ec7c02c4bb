#include "ui/message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>

#include "ui/widgets.h"

namespace kxp40s::ui {

namespace {

QMessageBox::Icon iconOf(Icon icon) {
    switch (icon) {
        case Icon::None:
            return QMessageBox::NoIcon;
        case Icon::Exclamation:
            return QMessageBox::Warning;
        case Icon::Critical:
            return QMessageBox::Critical;
        case Icon::Information:
            return QMessageBox::Information;
        case Icon::Question:
            return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

// The system's texts break their lines with CR LF.
QString boxText(const std::string& text) {
    return qText(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

}  // namespace

Answer showMessage(QWidget* parent, const Message& message) {
    const bool question = message.buttons == Buttons::YesNo;
    QMessageBox box(iconOf(message.icon), qText(message.title), boxText(message.text),
                    question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    // Without a window manager nobody gives the focus back when the box
    // closes; the window that had it takes it back itself.
    const QPointer<QWidget> active = QApplication::activeWindow();
    const int pressed = box.exec();
    if (active && active->isVisible()) active->activateWindow();
    if (!question) return Answer::Ok;
    return pressed == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

}  // namespace kxp40s::ui
