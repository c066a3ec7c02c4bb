// How much memory the window keeps per write: writes from Write Mode and
// Space on the in-process simulated board, each answered at its "Verify
// Success!" box, on a display of its own (offscreen without Xvfb). Reports
// the resident and the allocated memory after a warm-up and after the run.
//
//   window_endurance_bench [writes] [warm-up writes]

#include <malloc.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QWindow>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <optional>

#include "e2e/child_process.h"
#include "gui/gui_rig.h"

namespace {

using kxp40s::e2e::VirtualDisplay;

struct Memory {
    double residentKb = 0;
    double allocatedKb = 0;
};

Memory memoryNow() {
    Memory m;
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with("VmRSS:")) m.residentKb = std::stod(line.substr(6));
    }
    ::malloc_trim(0);
    m.allocatedKb = static_cast<double>(::mallinfo2().uordblks) / 1024.0;
    return m;
}

// Presses OK on every message box that comes up, keeping nothing of it.
void answerBoxes() {
    QTimer::singleShot(5, [] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box && box->windowHandle() && box->windowHandle()->isExposed()) {
            box->repaint();  // read, as a technician would, before OK
            if (QAbstractButton* ok = box->button(QMessageBox::Ok)) ok->click();
        }
        answerBoxes();
    });
}

// Space where the focus is, as a technician presses it in Write mode, once
// the window has it back from the last box.
bool write() {
    if (!QTest::qWaitFor([] { return QApplication::focusWidget() != nullptr; }, 5000)) return false;
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    return true;
}

int stuck() {
    std::fprintf(stderr, "window_endurance_bench: the window did not take the focus back\n");
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    const int writes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
    const int warmUp = argc > 2 ? std::max(1, std::atoi(argv[2])) : 50;
    std::optional<VirtualDisplay> display;
    if (VirtualDisplay::available()) {
        display.emplace();
        ::setenv("DISPLAY", display->name().c_str(), 1);
        ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    } else {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    QApplication app(argc, argv);
    kxp40s::ui::prepareApplication(app);
    kxp40s::testing::GuiRig rig;
    if (!rig.start()) {
        std::fprintf(stderr, "window_endurance_bench: the window did not come up\n");
        return 1;
    }
    auto* writeMode = rig.widget<QAbstractButton>({"WriteOpt"});
    writeMode->click();
    writeMode->setFocus();
    answerBoxes();

    const auto writeSeveral = [](int count) {
        for (int i = 0; i < count; ++i) {
            if (!write()) return false;
        }
        return true;
    };
    if (!writeSeveral(warmUp)) return stuck();
    const Memory before = memoryNow();
    const auto begin = std::chrono::steady_clock::now();
    if (!writeSeveral(writes)) return stuck();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - begin;
    const Memory after = memoryNow();

    const int frames = rig.pager().framesReceived();
    std::printf("%d writes after %d to warm up (%s, %.1f ms a write, %d frames in all)\n", writes,
                warmUp, display ? "Xvfb" : "offscreen", 1000.0 * took.count() / writes, frames);
    std::printf("resident:  %.1f MB -> %.1f MB, %+.1f KB (%+.2f KB a write)\n",
                before.residentKb / 1024, after.residentKb / 1024,
                after.residentKb - before.residentKb,
                (after.residentKb - before.residentKb) / writes);
    std::printf("allocated: %.1f MB -> %.1f MB, %+.1f KB (%+.2f KB a write)\n",
                before.allocatedKb / 1024, after.allocatedKb / 1024,
                after.allocatedKb - before.allocatedKb,
                (after.allocatedKb - before.allocatedKb) / writes);
    return 0;
}
