// kxp40s: the desktop window. Options: --board usb|lpt; a table file to open
// after start-up; --report prints the caption, the board status line and the
// focus on stdout as they change (for scripts and tests).
#include <CLI/CLI.hpp>
#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <iostream>

#include <memory>

#include "app/program_arguments.h"
#include "app/stop_signals.h"
#include "app/version.h"
#include "files/system.h"
#include "ui/guarded_application.h"
#include "ui/main_window.h"
#include "ui/quit_signals.h"
#include "ui/widgets/splash.h"

namespace {

using kxp40s::ui::MainWindow;

void reportShown(const QWidget& window) {
    std::cout << "shown " << window.windowTitle().toStdString() << std::endl;
}

// The window's frame and the screen's free area, in the screen's own units.
void reportSize(const QWidget& window) {
    const QRect frame = window.frameGeometry();
    const QRect room = window.screen()->availableGeometry();
    std::cout << "size " << frame.width() << "x" << frame.height() << "+" << frame.x() << "+"
              << frame.y() << " of " << room.width() << "x" << room.height() << std::endl;
}

// "shown" with the caption once the window is on the screen and "size" with
// its frame, then one line per change of the board status line ("status
// #rrggbb text"), of the caption, and of the control with the focus ("focus"
// and its name).
void reportChanges(MainWindow& window) {
    QObject::connect(&window, &MainWindow::shownOnScreen, [&window] {
        reportShown(window);
        reportSize(window);
    });
    QObject::connect(&window, &MainWindow::boardStatusShown,
                     [last = std::string()](const QString& text, const QColor& colour) mutable {
                         const std::string line =
                             "status " + colour.name().toStdString() + " " + text.toStdString();
                         if (line != last) std::cout << line << std::endl;
                         last = line;
                     });
    QObject::connect(&window, &QWidget::windowTitleChanged, [](const QString& title) {
        std::cout << "caption " << title.toStdString() << std::endl;
    });
    QObject::connect(qApp, &QApplication::focusChanged, [](QWidget*, QWidget* now) {
        if (now) std::cout << "focus " << now->objectName().toStdString() << std::endl;
    });
}

// A bare window of the same size, for measuring what Qt alone costs.
int runBareWindow(QApplication& app, bool report) {
    QWidget window;
    window.setWindowTitle("bare");
    window.resize(634, 500);
    kxp40s::ui::showPainted(window);
    if (report) reportShown(window);
    return app.exec();
}

// The program's icon at every size drawn, from the resource the build made
// out of dist/kxp40s.svg.
QIcon programIcon() {
    QIcon icon;
    for (const QString& png : QDir(":/icons").entryList({"*.png"}))
        icon.addFile(":/icons/" + png);
    return icon;
}

// Ends every event loop, those of open message boxes too; the deferred call
// ends the program's loop when it has not started yet (a signal during
// start-up).
void endProgram(int status) {
    QCoreApplication::exit(status);
    QTimer::singleShot(0, qApp, [status] { QCoreApplication::exit(status); });
}

}  // namespace

// The arguments are read before Qt starts, so that --help, --version and a
// wrong argument need no display.
int main(int argc, char** argv) {
    kxp40s::ProgramArguments arguments(argc, argv);
    CLI::App cli{"kxp40s: the KXP40 pager programmer's window"};
    cli.allow_windows_style_options(false);
    std::string board = "usb";
    bool report = false;
    bool bare = false;
    bool noSplash = false;
    std::string file;
    CLI::Option* boardOption =
        cli.add_option("--board", board,
                       "The programmer board for this run: usb (a serial port) or lpt (the "
                       "parallel port; KXP40S_LPT=PATH names a simulated one). Without it, the "
                       "board last chosen in the Board menu (at first usb)")
            ->check(CLI::IsMember({"usb", "lpt"}));
    cli.add_option("FILE", file,
                   "A table file (.tbl) to open once the window has started, as File > Open "
                   "opens it");
    cli.add_flag("--report", report,
                 "Print the caption, the board status line and the focus on stdout as they "
                 "change");
    cli.add_flag("--bare-window", bare, "Show only an empty window (for measurements)")->group("");
    cli.add_flag("--no-splash", noSplash, "Open the main window at once (for measurements)")
        ->group("");
    cli.set_version_flag("--version", kxp40s::versionLine("kxp40s"));
    try {
        cli.parse(arguments.argc(), arguments.argv());
    } catch (const CLI::ParseError& e) {
        return cli.exit(e) == 0 ? 0 : 2;
    }
    kxp40s::ui::GuardedApplication qapp(argc, argv);
    kxp40s::ui::prepareApplication(qapp);
    QApplication::setWindowIcon(programIcon());
    QGuiApplication::setDesktopFileName("kxp40s");
    if (bare) return runBareWindow(qapp, report);

    kxp40s::AppOptions options;
    options.board = boardOption->count() > 0
                        ? kxp40s::parseBoardKind(board).value_or(kxp40s::BoardKind::Usb)
                        : kxp40s::ui::WindowSettings::boardChosen();
    std::unique_ptr<MainWindow> window;
    kxp40s::ui::quitOnSignals([&window](int signal) {
        if (window)
            window->endOnSignal(signal);
        else
            endProgram(kxp40s::stoppedExitStatus(signal));
    });
    QObject::connect(&qapp, &kxp40s::ui::GuardedApplication::failed,
                     [&window](const QString& text) {
                         if (window) return window->endOnFailure(text);
                         std::cerr << text.toStdString() << std::endl;
                         endProgram(1);
                     });
    const auto openMainWindow = [&] {
        window = std::make_unique<MainWindow>(std::move(options));
        QObject::connect(window.get(), &MainWindow::ended, endProgram);
        if (report) reportChanges(*window);
        window->startUp(kxp40s::pathFromUtf8(file));
    };
    if (noSplash) {
        openMainWindow();
        return qapp.exec();
    }
    // The splash stands until the main window is up, then closes itself.
    kxp40s::ui::SplashWindow splash;
    QObject::connect(&splash, &kxp40s::ui::SplashWindow::showMainWindow, openMainWindow);
    splash.show();
    return qapp.exec();
}
