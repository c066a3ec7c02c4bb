#pragma once

// The window on the in-process simulated board, the ground every window test
// class stands on, and a script that answers the modal windows it opens.

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <deque>
#include <functional>
#include <memory>

#include "image/image.h"
#include "link/clock.h"
#include "registry/registry_access.h"
#include "registry/registry_store.h"
#include "sim/sim_serial_port.h"
#include "started_pager.h"
#include "ui/main_window.h"
#include "unit/link/link_fakes.h"

namespace kxp40s::testing {

inline constexpr const char* kSimPort = "/dev/sim0";

// The simulated board's port among ports that other programs hold: those
// cannot be opened.
class PortsBesideTheBoard : public SerialPort {
  public:
    explicit PortsBesideTheBoard(SerialPort& board) : board_(board) {}

    std::vector<std::string> held;

    int open(const std::string& name) override {
        board_.close();
        return std::find(held.begin(), held.end(), name) != held.end() ? kPortBusy
                                                                       : board_.open(name);
    }
    int close() override { return board_.close(); }
    int setup9600() override { return board_.setup9600(); }
    int flush() override { return board_.flush(); }
    int write(std::span<const std::uint8_t> bytes) override { return board_.write(bytes); }
    int read(std::span<std::uint8_t> bytes) override { return board_.read(bytes); }
    int getch() override { return board_.getch(); }
    int bytesWaiting() override { return board_.bytesWaiting(); }
    int lineStatus() override { return board_.lineStatus(); }

  private:
    SerialPort& board_;
};

// The program as a user starts it, with the board behind the port list the
// test writes. The clock is the real one, so that the window's events run
// during a transfer; the fixed pause before each reply is left out.
class GuiRig {
  public:
    // `settings`: what the settings file holds before the window reads it.
    explicit GuiRig(bool boardListed = true, Image pager = startedPager(),
                    const QByteArray& settings = {})
        : pager_(std::move(pager)), port_(pager_, clock_, kSimPort) {
        if (boardListed) listPorts(registry_, {kSimPort});
        if (!settings.isEmpty()) {
            QFile file(settingsFile());
            if (file.open(QIODevice::WriteOnly)) file.write(settings);
        }
        AppOptions options;
        options.programDirectory = ui::pathOf(folder_.path());
        options.backupFolder = options.programDirectory / "backups";
        options.parts.serialPort = &ports_;
        options.parts.registryStore = &store_;
        window_ = std::make_unique<ui::MainWindow>(std::move(options), settingsFile());
        window_->app().setFastRead(true);
    }

    ui::MainWindow& window() { return *window_; }
    Application& app() { return window_->app(); }
    sim::PagerBoard& pager() { return pager_; }
    // The board's port listed or not, after the ports other programs hold.
    void listBoard(bool listed) {
        std::vector<std::string> ports = ports_.held;
        if (listed) ports.push_back(kSimPort);
        listPorts(registry_, ports);
    }
    void holdPort(const std::string& name, bool boardListed) {
        ports_.held.push_back(name);
        listBoard(boardListed);
    }
    // A file in the program's folder, named as the program names it.
    QString path(const QString& name) const {
        return ui::qPath(ui::pathOf(folder_.path() + "/" + name));
    }
    QString settingsFile() const { return path("kxp40s.ini"); }

    // Form_Load, then the window on the screen with the focus.
    bool start() {
        window_->Form_Load();
        window_->show();
        if (!QTest::qWaitForWindowExposed(window_.get())) return false;
        window_->activateWindow();
        return QTest::qWaitForWindowActive(window_.get());
    }

    template <class W = QWidget>
    W* widget(ControlId id) {
        return qobject_cast<W*>(window_->widget(id));
    }
    QString text(ControlId id) {
        QWidget* w = window_->widget(id);
        if (auto* box = qobject_cast<QLineEdit*>(w)) return box->text();
        if (auto* list = qobject_cast<QComboBox*>(w)) return list->currentText();
        if (auto* label = qobject_cast<QLabel*>(w)) return label->text();
        return {};
    }
    // What a user's choice in a list does: the item shows, then Click.
    void choose(ControlId id, int item) {
        auto* list = widget<QComboBox>(id);
        list->setCurrentIndex(item);
        emit list->activated(item);
    }
    void type(ControlId id, const QString& keys) {
        QWidget* w = window_->widget(id);
        if (!QTest::qWaitFor([&] { return window_->isActiveWindow(); }, 1000)) return;
        QTest::mouseClick(w, Qt::LeftButton);
        QCoreApplication::processEvents();
        QTest::keyClicks(w, keys);
    }
    void enter(ControlId id) { QTest::keyClick(window_->widget(id), Qt::Key_Return); }
    void settle() {
        QCoreApplication::processEvents();
        window_->binder().settle();
    }

  private:
    QTemporaryDir folder_;
    SteadyClock clock_;
    sim::PagerBoard pager_;
    sim::SimSerialPort port_;
    PortsBesideTheBoard ports_{port_};
    MemoryRegistryStore store_;
    clsRegistryAccess registry_{store_};
    std::unique_ptr<ui::MainWindow> window_;
};

// Why the test function is to be skipped where the tests run now, from the
// environment's KXP40S_SKIP_TESTS ("function=reason|function=reason", set
// by CMake); empty when it runs.
inline QString skipReason(const char* function) {
    const QStringList listed =
        qEnvironmentVariable("KXP40S_SKIP_TESTS").split('|', Qt::SkipEmptyParts);
    for (const QString& entry : listed) {
        const qsizetype equals = entry.indexOf('=');
        if (equals > 0 && entry.left(equals) == QLatin1String(function))
            return entry.mid(equals + 1);
    }
    return {};
}

// The ground of the window's test classes: the program's look, and before
// each test function a fresh window on the screen, on a board with the
// started pager (rig_), gone after the function; a function that
// KXP40S_SKIP_TESTS names is skipped.
class GuiTest : public QObject {
    Q_OBJECT

  protected:
    // A fresh window in place of the one before, on a board with `pager`,
    // listed among the ports or not; true once it is on the screen.
    bool restart(bool boardListed = true, Image pager = startedPager()) {
        rig_.reset();
        rig_ = std::make_unique<GuiRig>(boardListed, std::move(pager));
        return rig_->start();
    }
    // The same on a board whose pager holds `image` (firmware 5.0).
    bool restartOnPager(const Image& image) {
        return restart(true, sim::pagerImage(image, sim::kDefaultIdentity, 50));
    }

    std::unique_ptr<GuiRig> rig_;

  private slots:
    void initTestCase() { ui::prepareApplication(*qApp); }
    void init() {
        if (const QString reason = skipReason(QTest::currentTestFunction()); !reason.isEmpty())
            QSKIP(qPrintable(reason));
        QVERIFY(restart());
    }
    void cleanup() { rig_.reset(); }
};

// Answers every modal window that comes up while it lives: message boxes
// (recorded, then OK, or Yes/No from the script), and any other modal
// window by the next action of the script for it.
class ModalScript {
  public:
    ModalScript() { arm(); }
    ~ModalScript() { *alive_ = false; }
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;

    std::deque<QMessageBox::StandardButton> answers;  // for questions; Yes when run out
    // Each returns true when it has done its part on `modal`.
    std::deque<std::function<bool(QWidget* modal)>> actions;
    QStringList texts;
    QStringList titles;
    std::vector<QMessageBox::Icon> icons;

  private:
    void arm() {
        QTimer::singleShot(10, [this, alive = alive_] {
            if (!*alive) return;
            arm();
            poll();
        });
    }
    // An action may open modal windows of its own (a write shows its
    // message boxes), which the polls nested in it answer.
    void poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) return;
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            answer(box);
        } else if (!actions.empty()) {
            auto action = std::move(actions.front());
            actions.pop_front();
            if (!action(modal)) actions.push_front(std::move(action));
        }
    }
    void answer(QMessageBox* box) {
        texts << box->text();
        titles << box->windowTitle();
        icons.push_back(box->icon());
        QAbstractButton* button = box->button(QMessageBox::Ok);
        if (!button) {
            const auto choice = answers.empty() ? QMessageBox::Yes : answers.front();
            if (!answers.empty()) answers.pop_front();
            button = box->button(choice);
        }
        button->click();
    }

    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace kxp40s::testing
