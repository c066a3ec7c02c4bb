#include "ui/quit_signals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include "app/stop_signals.h"

namespace kxp40s::ui {

void quitOnSignals(std::function<void(int signal)> onSignal) {
    StopSignals::install();
    const int wake = StopSignals::wakeFd();
    if (wake < 0) return;
    auto* notifier = new QSocketNotifier(wake, QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier,
                     [notifier, onSignal = std::move(onSignal)] {
                         notifier->setEnabled(false);  // the first signal only
                         onSignal(StopSignals::received());
                     });
}

}  // namespace kxp40s::ui
