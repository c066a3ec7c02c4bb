#include "ui/guarded_application.h"

#include <exception>

#include "app/application.h"

namespace kxp40s::ui {

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        emit failed(QString::fromStdString(unexpectedFailure(e).text));
    }
    return false;
}

}  // namespace kxp40s::ui
