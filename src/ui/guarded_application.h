#pragma once

#include <QApplication>

namespace kxp40s::ui {

// The window's edge: an exception that no command caught must not cross
// Qt's event loop (it would end the program without the board's release
// command). It is turned into `failed`, which ends the program as it should.
class GuardedApplication : public QApplication {
    Q_OBJECT

  public:
    GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}
    bool notify(QObject* receiver, QEvent* event) override;

  signals:
    // The text of the system's message for the exception.
    void failed(const QString& text);
};

}  // namespace kxp40s::ui
